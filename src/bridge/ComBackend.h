#pragma once

#include <map>
#include <string>

#include "bridge/BridgeBackend.h"

struct IDispatch;

// The data service's component itself, driven through COM late binding (Windows only).
//
// The class comes from the ProgID at run time and every method is looked up by name and
// called through IDispatch::Invoke, so no type library, header or other file of the
// component's maker is needed to build the bridge. COM is initialised apartment-threaded on
// the thread that makes the first call; every call must come from that thread.
//
// The component is created at the first call, not at construction: a missing or broken
// installation then answers each call with a BackendError that says what is wrong, and the
// session goes on. Every failed HRESULT and every exception the component raises
// (DISP_E_EXCEPTION, with its EXCEPINFO text) becomes a BackendError naming the method.
namespace vornal::bridge {

inline constexpr const wchar_t* kComponentProgId = L"JVDTLab.JVLink";

class ComBackend : public Backend
{
public:
    explicit ComBackend(std::wstring progId = kComponentProgId);
    ~ComBackend() override;
    ComBackend(const ComBackend&) = delete;
    ComBackend& operator=(const ComBackend&) = delete;

    std::string Name() const override { return "com"; }

    int Init(const std::string& softwareId) override;
    std::string Version() override;
    int SetUIProperties() override;
    OpenReply Open(const std::string& dataSpec, const std::string& fromTime, int option) override;
    int Status() override;
    // Reads with JVGets, whose byte array carries the CP932 record exactly; a component
    // without JVGets is read with JVRead, whose text is converted back to CP932.
    int Read(std::string& record, int bufferSize, std::string& fileName) override;
    int Skip() override;
    int RTOpen(const std::string& dataSpec, const std::string& key) override;
    int Cancel() override;
    int Close() override;

private:
    class Arguments;
    enum class ReadMethod { Unknown, Gets, Read };

    IDispatch& Component();
    // The dispatch id of `name`, or -1 (DISPID_UNKNOWN) when the component has no such member.
    long DispatchId(const wchar_t* name);
    // Invokes `name` with `arguments` (in the method's own order); returns the result as an
    // integer (0 for a method without a result).
    int CallInt(const wchar_t* name, Arguments& arguments);
    int ReadWithGets(std::string& record, int bufferSize, std::string& fileName);
    int ReadWithRead(std::string& record, int bufferSize, std::string& fileName);

    std::wstring m_progId;
    bool m_comInitialised = false;
    IDispatch* m_component = nullptr;
    std::map<std::wstring, long> m_ids;
    ReadMethod m_readMethod = ReadMethod::Unknown;
};

} // namespace vornal::bridge
