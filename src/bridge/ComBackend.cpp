#include "bridge/ComBackend.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include <windows.h>
#include <oleauto.h>

namespace vornal::bridge {
namespace {

std::string Narrow(const wchar_t* text, int length, UINT codePage)
{
    if (text == nullptr || length == 0) {
        return {};
    }
    const int size = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(codePage, 0, text, length, bytes.data(), size, nullptr, nullptr);
    }
    return bytes;
}

std::string Utf8(const std::wstring& text)
{
    return Narrow(text.c_str(), static_cast<int>(text.size()), CP_UTF8);
}

// A BSTR's text in the component's own code page (CP932), byte for byte as the component
// would have written it.
std::string Cp932(BSTR text)
{
    return text == nullptr ? std::string() : Narrow(text, static_cast<int>(SysStringLen(text)), 932);
}

BSTR NewBstr(const std::string& cp932)
{
    const int length = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(length > 0 ? length : 0));
    if (length > 0) {
        MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), text, length);
    }
    return text;
}

std::string Hex(HRESULT code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

// "Class not registered (0x80040154)": the system's text for an HRESULT and its number.
std::string HresultText(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
        text.pop_back();
    }
    return text.empty() ? Hex(code) : Utf8(text) + " (" + Hex(code) + ")";
}

// Owns a BSTR that the component may replace through a by-reference argument.
class Bstr
{
public:
    Bstr() = default;
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR* Address() { return &m_text; }
    BSTR Get() const { return m_text; }

private:
    BSTR m_text = nullptr;
};

// Pumps the messages waiting for this thread: an apartment-threaded component may keep
// hidden windows and timers that expect them between calls.
void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

// The arguments of one call, in the method's own order; by-value strings are freed with them,
// by-reference ones belong to the caller.
class ComBackend::Arguments
{
public:
    Arguments() = default;
    ~Arguments()
    {
        for (VARIANT& argument : m_values) {
            VariantClear(&argument);
        }
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    Arguments& Text(const std::string& cp932)
    {
        VARIANT& argument = Add();
        argument.vt = VT_BSTR;
        argument.bstrVal = NewBstr(cp932);
        return *this;
    }
    Arguments& Long(long value)
    {
        VARIANT& argument = Add();
        argument.vt = VT_I4;
        argument.lVal = value;
        return *this;
    }
    Arguments& LongRef(long* value)
    {
        VARIANT& argument = Add();
        argument.vt = VT_BYREF | VT_I4;
        argument.plVal = value;
        return *this;
    }
    Arguments& TextRef(Bstr& value)
    {
        VARIANT& argument = Add();
        argument.vt = VT_BYREF | VT_BSTR;
        argument.pbstrVal = value.Address();
        return *this;
    }
    Arguments& BytesRef(SAFEARRAY** value)
    {
        VARIANT& argument = Add();
        argument.vt = VT_BYREF | VT_ARRAY | VT_UI1;
        argument.pparray = value;
        return *this;
    }

    // DISPPARAMS wants the last argument first.
    std::vector<VARIANT> Reversed() const { return std::vector<VARIANT>(m_values.rbegin(), m_values.rend()); }
    UINT Count() const { return static_cast<UINT>(m_values.size()); }

private:
    VARIANT& Add()
    {
        VARIANT& argument = m_values.emplace_back();
        VariantInit(&argument);
        return argument;
    }

    std::vector<VARIANT> m_values;
};

ComBackend::ComBackend(std::wstring progId) : m_progId(std::move(progId)) {}

ComBackend::~ComBackend()
{
    if (m_component != nullptr) {
        m_component->Release();
    }
    if (m_comInitialised) {
        CoUninitialize();
    }
}

IDispatch& ComBackend::Component()
{
    if (m_component != nullptr) {
        PumpMessages();
        return *m_component;
    }
    const std::string progId = Utf8(m_progId);
    if (!m_comInitialised) {
        const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(init)) {
            throw BackendError("COM could not be initialised for the component: " + HresultText(init));
        }
        m_comInitialised = true;
    }
    CLSID classId;
    const HRESULT lookup = CLSIDFromProgID(m_progId.c_str(), &classId);
    if (FAILED(lookup)) {
        throw BackendError("the component \"" + progId + "\" is not registered on this system (" + HresultText(lookup) +
                           "): install it with its own set-up program");
    }
    void* created = nullptr;
    const HRESULT create = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &created);
    if (FAILED(create)) {
        const std::string bits = sizeof(void*) == 8 ? "64" : "32";
        std::string message = "the component \"" + progId + "\" could not be created in this " + bits +
                              "-bit bridge: " + HresultText(create);
        if (create == REGDB_E_CLASSNOTREG || create == HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT) ||
            create == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)) {
            message += "; a 32-bit component needs the 32-bit vornal-jvlink.exe, a 64-bit one the 64-bit build";
        }
        throw BackendError(message);
    }
    m_component = static_cast<IDispatch*>(created);
    return *m_component;
}

long ComBackend::DispatchId(const wchar_t* name)
{
    IDispatch& component = Component();
    const auto found = m_ids.find(name);
    if (found != m_ids.end()) {
        return found->second;
    }
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = component.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr == DISP_E_UNKNOWNNAME) {
        id = DISPID_UNKNOWN;
    } else if (FAILED(hr)) {
        throw BackendError("the component did not name its member " + Utf8(name) + ": " + HresultText(hr));
    }
    m_ids.emplace(name, id);
    return id;
}

namespace {

int AsInt(VARIANT& result, const wchar_t* name)
{
    if (result.vt == VT_EMPTY) {
        return 0;
    }
    const HRESULT hr = VariantChangeType(&result, &result, 0, VT_I4);
    if (FAILED(hr)) {
        throw BackendError(Utf8(name) + " answered a value that is not an integer: " + HresultText(hr));
    }
    return static_cast<int>(result.lVal);
}

// Invokes member `id` (called `name`) of `component` with `reversed` (the last argument
// first); a failed call becomes a BackendError. The result is left in `result` (VT_EMPTY for
// a method without one).
void Invoke(IDispatch& component, DISPID id, const wchar_t* name, WORD flags, std::vector<VARIANT> reversed,
            VARIANT& result)
{
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT hr =
        component.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &exception, &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        std::string text = exception.bstrDescription != nullptr ? Utf8(exception.bstrDescription) : std::string();
        const std::string source = exception.bstrSource != nullptr ? Utf8(exception.bstrSource) : std::string();
        const HRESULT code = exception.scode != 0 ? exception.scode : static_cast<HRESULT>(exception.wCode);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrHelpFile);
        if (text.empty()) {
            text = "no description";
        }
        throw BackendError(Utf8(name) + " raised an exception: " + text + (source.empty() ? "" : " [" + source + "]") +
                           " (" + Hex(code) + ")");
    }
    if (FAILED(hr)) {
        std::string message = Utf8(name) + " failed: " + HresultText(hr);
        if ((hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) && argumentError < params.cArgs) {
            // The index counts from the last argument.
            message += " at argument " + std::to_string(params.cArgs - argumentError);
        }
        throw BackendError(message);
    }
}

} // namespace

int ComBackend::CallInt(const wchar_t* name, Arguments& arguments)
{
    const DISPID id = DispatchId(name);
    if (id == DISPID_UNKNOWN) {
        throw BackendError("the component has no method " + Utf8(name));
    }
    VARIANT result;
    VariantInit(&result);
    Invoke(Component(), id, name, DISPATCH_METHOD, arguments.Reversed(), result);
    const int code = AsInt(result, name);
    VariantClear(&result);
    return code;
}

int ComBackend::Init(const std::string& softwareId)
{
    Arguments arguments;
    arguments.Text(softwareId);
    return CallInt(L"JVInit", arguments);
}

std::string ComBackend::Version()
{
    const wchar_t* name = L"m_JVLinkVersion";
    const DISPID id = DispatchId(name);
    if (id == DISPID_UNKNOWN) {
        throw BackendError("the component has no property m_JVLinkVersion");
    }
    VARIANT result;
    VariantInit(&result);
    Invoke(Component(), id, name, DISPATCH_PROPERTYGET, {}, result);
    const HRESULT hr = VariantChangeType(&result, &result, 0, VT_BSTR);
    if (FAILED(hr)) {
        VariantClear(&result);
        throw BackendError("m_JVLinkVersion is not a text: " + HresultText(hr));
    }
    std::string version = Cp932(result.bstrVal);
    VariantClear(&result);
    return version;
}

int ComBackend::SetUIProperties()
{
    Arguments arguments;
    return CallInt(L"JVSetUIProperties", arguments);
}

OpenReply ComBackend::Open(const std::string& dataSpec, const std::string& fromTime, int option)
{
    long readCount = 0;
    long downloadCount = 0;
    Bstr lastFile;
    Arguments arguments;
    arguments.Text(dataSpec).Text(fromTime).Long(option).LongRef(&readCount).LongRef(&downloadCount).TextRef(lastFile);
    OpenReply reply;
    reply.code = CallInt(L"JVOpen", arguments);
    reply.readCount = static_cast<int>(readCount);
    reply.downloadCount = static_cast<int>(downloadCount);
    reply.lastFileTimestamp = Cp932(lastFile.Get());
    return reply;
}

int ComBackend::Status()
{
    Arguments arguments;
    return CallInt(L"JVStatus", arguments);
}

int ComBackend::Read(std::string& record, int bufferSize, std::string& fileName)
{
    if (m_readMethod == ReadMethod::Unknown) {
        m_readMethod = DispatchId(L"JVGets") != DISPID_UNKNOWN ? ReadMethod::Gets : ReadMethod::Read;
    }
    return m_readMethod == ReadMethod::Gets ? ReadWithGets(record, bufferSize, fileName)
                                            : ReadWithRead(record, bufferSize, fileName);
}

int ComBackend::ReadWithGets(std::string& record, int bufferSize, std::string& fileName)
{
    SAFEARRAY* bytes = nullptr;
    // The size goes by reference: a component that takes it by value accepts that too, the
    // other way round it would refuse the call.
    long size = bufferSize;
    Bstr file;
    Arguments arguments;
    arguments.BytesRef(&bytes).LongRef(&size).TextRef(file);
    int code = 0;
    try {
        code = CallInt(L"JVGets", arguments);
    } catch (...) {
        SafeArrayDestroy(bytes);
        throw;
    }
    record.clear();
    if (code > 0 && bytes != nullptr) {
        void* data = nullptr;
        if (SafeArrayGetDim(bytes) == 1 && SUCCEEDED(SafeArrayAccessData(bytes, &data))) {
            const std::size_t count = bytes->rgsabound[0].cElements;
            const std::size_t take = std::min<std::size_t>(count, static_cast<std::size_t>(code));
            record.assign(static_cast<const char*>(data), take);
            SafeArrayUnaccessData(bytes);
        }
    }
    SafeArrayDestroy(bytes);
    fileName = code > 0 ? Cp932(file.Get()) : std::string();
    return code;
}

int ComBackend::ReadWithRead(std::string& record, int bufferSize, std::string& fileName)
{
    Bstr text;
    long size = bufferSize;
    Bstr file;
    Arguments arguments;
    arguments.TextRef(text).LongRef(&size).TextRef(file);
    const int code = CallInt(L"JVRead", arguments);
    // The component made the text from CP932 bytes; the system's own conversion turns it back.
    record = code > 0 ? Cp932(text.Get()) : std::string();
    fileName = code > 0 ? Cp932(file.Get()) : std::string();
    return code;
}

int ComBackend::Skip()
{
    Arguments arguments;
    return CallInt(L"JVSkip", arguments);
}

int ComBackend::RTOpen(const std::string& dataSpec, const std::string& key)
{
    Arguments arguments;
    arguments.Text(dataSpec).Text(key);
    return CallInt(L"JVRTOpen", arguments);
}

int ComBackend::Cancel()
{
    Arguments arguments;
    CallInt(L"JVCancel", arguments);
    return 0;
}

int ComBackend::Close()
{
    Arguments arguments;
    return CallInt(L"JVClose", arguments);
}

} // namespace vornal::bridge
