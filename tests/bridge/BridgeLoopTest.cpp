#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bridge/BridgeLoop.h"

namespace vornal::bridge {
namespace {

class StringSource : public ByteSource
{
public:
    explicit StringSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::size_t ReadSome(char* data, std::size_t size) override
    {
        // Short reads on purpose: frames must survive any split.
        const std::size_t n = std::min({size, m_bytes.size() - m_at, std::size_t{3}});
        std::copy_n(m_bytes.data() + m_at, n, data);
        m_at += n;
        return n;
    }

private:
    std::string m_bytes;
    std::size_t m_at = 0;
};

class StringSink : public ByteSink
{
public:
    bool WriteAll(std::string_view bytes) override
    {
        written.append(bytes);
        return true;
    }
    std::string written;
};

// Answers with values that show which arguments arrived.
class EchoBackend : public Backend
{
public:
    std::string Name() const override { return "echo"; }
    int Init(const std::string& softwareId) override { return -static_cast<int>(softwareId.size()); }
    std::string Version() override { return "0490"; }
    int SetUIProperties() override { throw BackendError("no dialog here"); }
    OpenReply Open(const std::string& dataSpec, const std::string& fromTime, int option) override
    {
        return OpenReply{0, static_cast<int>(dataSpec.size()), option, fromTime};
    }
    int Status() override { return 7; }
    int Read(std::string& record, int bufferSize, std::string& fileName) override
    {
        if (reads++ == 0) {
            return -3;
        }
        record = recordToHand;
        fileName = "f.jvd";
        return bufferSize < static_cast<int>(record.size()) ? -403 : static_cast<int>(record.size());
    }
    int Skip() override { return 0; }
    int RTOpen(const std::string& dataSpec, const std::string& key) override
    {
        return dataSpec == "0B30" && key.size() == 16 ? 0 : -114;
    }
    int Cancel() override { return 0; }
    int Close() override { return -1; }

    int reads = 0;
    std::string recordToHand;
};

std::vector<Answer> AnswersOf(const std::string& written, std::string& helloName)
{
    StringSource in(written);
    std::string body;
    EXPECT_EQ(ReadFrame(in, body), FrameRead::Frame);
    helloName = DecodeHello(body);
    std::vector<Answer> answers;
    while (ReadFrame(in, body) == FrameRead::Frame) {
        answers.push_back(DecodeAnswer(body));
    }
    return answers;
}

std::string AllBytes()
{
    std::string bytes;
    for (int c = 0; c < 256; ++c) {
        bytes.push_back(static_cast<char>(c));
    }
    return bytes + "\r\n";
}

TEST(BridgeLoop, RelaysEveryCallWithItsArgumentsAndCodes)
{
    std::string requests;
    auto send = [&requests](Request r) { requests += Framed(EncodeRequest(r)); };
    send({Op::Init, "SA000000", "", 0});
    send({Op::Version, "", "", 0});
    send({Op::Open, "RACERCVN", "20260101000000", 2});
    send({Op::Status, "", "", 0});
    send({Op::Read, "", "", 60000});
    send({Op::Read, "", "", 60000});
    send({Op::Read, "", "", 10});
    send({Op::Skip, "", "", 0});
    send({Op::RTOpen, "0B30", "2026010506010211", 0});
    send({Op::RTOpen, "0B30", "short", 0});
    send({Op::Cancel, "", "", 0});
    send({Op::Close, "", "", 0});
    EchoBackend backend;
    backend.recordToHand = AllBytes();
    StringSource in(requests);
    StringSink out;
    EXPECT_EQ(RunBridgeLoop(backend, in, out), 0);

    std::string name;
    const std::vector<Answer> answers = AnswersOf(out.written, name);
    EXPECT_EQ(name, "echo");
    ASSERT_EQ(answers.size(), 12u);
    EXPECT_EQ(answers[0].code, -8);
    EXPECT_EQ(answers[1].text, "0490");
    EXPECT_EQ(answers[2].readCount, 8);
    EXPECT_EQ(answers[2].downloadCount, 2);
    EXPECT_EQ(answers[2].text, "20260101000000");
    EXPECT_EQ(answers[3].code, 7);
    EXPECT_EQ(answers[4].code, -3);
    EXPECT_EQ(answers[4].text, "");
    // Every byte value, NUL and CR LF included, arrives as it was handed out.
    EXPECT_EQ(answers[5].code, 258);
    EXPECT_EQ(answers[5].text, AllBytes());
    EXPECT_EQ(answers[5].fileName, "f.jvd");
    EXPECT_EQ(answers[6].code, -403);
    EXPECT_EQ(answers[6].text, "") << "no bytes travel with an error code";
    EXPECT_EQ(answers[8].code, 0);
    EXPECT_EQ(answers[9].code, -114);
    EXPECT_EQ(answers[11].code, -1);
    EXPECT_EQ(answers[11].type, AnswerType(Op::Close));
}

TEST(BridgeLoop, ErrorsAnswerTheRequestAndTheSessionGoesOn)
{
    std::string requests = Framed(EncodeRequest({Op::SetUIProperties, "", "", 0}));
    requests += Framed("\x33");                                   // unknown request type
    requests += Framed(std::string("\x04\x01\x00\x00\x00", 5));   // Open that ends inside a field
    requests += Framed(EncodeRequest({Op::Status, "", "", 0}) + "x"); // a byte too many
    requests += Framed("");
    requests += Framed(EncodeRequest({Op::Status, "", "", 0}));
    EchoBackend backend;
    StringSource in(requests);
    StringSink out;
    EXPECT_EQ(RunBridgeLoop(backend, in, out), 0);
    std::string name;
    const std::vector<Answer> answers = AnswersOf(out.written, name);
    ASSERT_EQ(answers.size(), 6u);
    EXPECT_TRUE(answers[0].IsError());
    EXPECT_EQ(answers[0].errorOf, static_cast<std::uint8_t>(Op::SetUIProperties));
    EXPECT_EQ(answers[0].text, "no dialog here");
    for (int i = 1; i < 5; ++i) {
        EXPECT_TRUE(answers[i].IsError()) << i;
    }
    EXPECT_EQ(answers[1].errorOf, 0x33);
    EXPECT_EQ(answers[5].code, 7);
}

TEST(BridgeLoop, AStreamThatCannotBeResynchronisedEndsTheLoop)
{
    EchoBackend backend;
    for (const std::string& input : {Framed(EncodeRequest({Op::Status, "", "", 0})).substr(0, 3),
                                     std::string("\xFF\xFF\xFF\xFF\x05", 5)}) {
        StringSource in(input);
        StringSink out;
        EXPECT_EQ(RunBridgeLoop(backend, in, out), kLoopBroken);
        std::string name;
        const std::vector<Answer> answers = AnswersOf(out.written, name);
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_TRUE(answers[0].IsError());
    }
}

TEST(BridgeProtocol, AnswersThatDoNotHoldWhatTheirTypeSaysAreRejected)
{
    Answer read;
    read.code = 5;
    read.text = "abcd"; // one byte short of its code
    EXPECT_THROW(DecodeAnswer(EncodeAnswer(Op::Read, read)), ProtocolError);
    read.text = "abcde";
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(Op::Read, read)).text, "abcde");
    EXPECT_THROW(DecodeAnswer(EncodeAnswer(Op::Open, {}).substr(0, 6)), ProtocolError);
    EXPECT_THROW(DecodeAnswer(EncodeAnswer(Op::Status, {}) + "z"), ProtocolError);
    EXPECT_THROW(DecodeAnswer("\x05"), ProtocolError); // a request type, not an answer
    EXPECT_THROW(DecodeAnswer("garbage!"), ProtocolError);
    EXPECT_THROW(DecodeHello(EncodeAnswer(Op::Status, {})), ProtocolError);
    std::string otherVersion = EncodeHello("x");
    otherVersion[9] = 2;
    EXPECT_THROW(DecodeHello(otherVersion), ProtocolError);
}

} // namespace
} // namespace vornal::bridge
