// A stand-in for the data service's component, for the bridge's tests under Wine: an
// in-process COM server registered under the component's ProgID whose IDispatch answers the
// same method names with the same kinds of parameters, serving a feed folder laid out as
// the replay link's (stored/<stamp>-<name>.jvd, realtime/<spec>/<key>.jvd).
//
// Set by the environment of the process that loads it:
//   VORNAL_STANDIN_FEED    the feed folder (a Windows path)
//   VORNAL_STANDIN_FAULT   <method>:hang (never returns), <method>:throw (raises an
//                          exception) or <method>:<code> (answers the code instead)
//   VORNAL_STANDIN_NOGETS  when set, there is no JVGets: a client must read with JVRead
//
// Unlike the replay link it answers -3 (busy) once before the first record of every file
// and counts JVOpen's files as still to download, one more done per JVStatus call.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// {5B0C3E52-7A11-4B6E-9C3D-2F8E61A0D4B7}
const CLSID kClassId = {0x5b0c3e52, 0x7a11, 0x4b6e, {0x9c, 0x3d, 0x2f, 0x8e, 0x61, 0xa0, 0xd4, 0xb7}};
const wchar_t* const kClassIdText = L"{5B0C3E52-7A11-4B6E-9C3D-2F8E61A0D4B7}";
const wchar_t* const kProgId = L"JVDTLab.JVLink";

HMODULE g_module = nullptr;

enum Member : DISPID {
    kJVInit = 1,
    kVersion,
    kJVSetUIProperties,
    kJVOpen,
    kJVStatus,
    kJVGets,
    kJVRead,
    kJVSkip,
    kJVRTOpen,
    kJVCancel,
    kJVClose,
};

struct MemberName
{
    const wchar_t* name;
    Member id;
};
const MemberName kMembers[] = {
    {L"JVInit", kJVInit},   {L"m_JVLinkVersion", kVersion}, {L"JVSetUIProperties", kJVSetUIProperties},
    {L"JVOpen", kJVOpen},   {L"JVStatus", kJVStatus},       {L"JVGets", kJVGets},
    {L"JVRead", kJVRead},   {L"JVSkip", kJVSkip},           {L"JVRTOpen", kJVRTOpen},
    {L"JVCancel", kJVCancel}, {L"JVClose", kJVClose},
};

std::wstring Environment(const wchar_t* name)
{
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? value : L"";
}

std::string Narrow(BSTR text)
{
    std::string bytes;
    for (UINT i = 0; text != nullptr && i < SysStringLen(text); ++i) {
        bytes.push_back(static_cast<char>(text[i]));
    }
    return bytes;
}

BSTR Widen(const std::string& cp932)
{
    const int length = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), text, length);
    return text;
}

void SetBstr(BSTR* target, BSTR value)
{
    SysFreeString(*target);
    *target = value;
}

// One record per line; a CR before the LF dropped, empty lines skipped, CR LF appended.
std::vector<std::string> RecordsOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            records.push_back(line + "\r\n");
        }
        start = end + 1;
    }
    return records;
}

class Component final : public IDispatch
{
public:
    Component()
    {
        m_feed = Environment(L"VORNAL_STANDIN_FEED");
        const std::wstring fault = Environment(L"VORNAL_STANDIN_FAULT");
        const std::size_t colon = fault.find(L':');
        if (colon != std::wstring::npos) {
            m_faultMethod = fault.substr(0, colon);
            m_fault = fault.substr(colon + 1);
        }
        m_hasGets = Environment(L"VORNAL_STANDIN_NOGETS").empty();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        HRESULT result = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            for (const MemberName& member : kMembers) {
                if (_wcsicmp(names[i], member.name) == 0 && (member.id != kJVGets || m_hasGets)) {
                    ids[i] = member.id;
                }
            }
            if (ids[i] == DISPID_UNKNOWN) {
                result = DISP_E_UNKNOWNNAME;
            }
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override;

private:
    // Argument i of the call in the method's own order (DISPPARAMS holds them last first).
    VARIANT& Argument(DISPPARAMS* params, UINT i) { return params->rgvarg[params->cArgs - 1 - i]; }
    HRESULT Call(DISPID id, DISPPARAMS* params, long& answer, UINT* argumentError);
    void OpenFiles(std::vector<std::filesystem::path> files);
    long NextRecord(std::string& record, std::string& fileName);

    LONG m_references = 1;
    std::filesystem::path m_feed;
    std::wstring m_faultMethod;
    std::wstring m_fault;
    bool m_hasGets = true;
    bool m_initialised = false;

    bool m_open = false;
    std::vector<std::filesystem::path> m_files;
    std::size_t m_fileIndex = 0;
    std::vector<std::string> m_records;
    std::size_t m_recordIndex = 0;
    bool m_fileLoaded = false;
    bool m_busyShown = false;
    long m_downloadCount = 0;
    long m_downloaded = 0;
};

// What a caller may pass for a parameter of each kind.
bool IsText(const VARIANT& v) { return v.vt == VT_BSTR || v.vt == (VT_BYREF | VT_BSTR); }
bool IsLong(const VARIANT& v) { return v.vt == VT_I4 || v.vt == (VT_BYREF | VT_I4); }
bool IsTextRef(const VARIANT& v) { return v.vt == (VT_BYREF | VT_BSTR); }
bool IsLongRef(const VARIANT& v) { return v.vt == (VT_BYREF | VT_I4); }
bool IsBytesRef(const VARIANT& v) { return v.vt == (VT_BYREF | VT_ARRAY | VT_UI1); }
BSTR TextOf(const VARIANT& v) { return v.vt == VT_BSTR ? v.bstrVal : *v.pbstrVal; }
long LongOf(const VARIANT& v) { return v.vt == VT_I4 ? v.lVal : *v.plVal; }

HRESULT STDMETHODCALLTYPE Component::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                            EXCEPINFO* exception, UINT* argumentError)
{
    const MemberName* member = nullptr;
    for (const MemberName& candidate : kMembers) {
        if (candidate.id == id && (id != kJVGets || m_hasGets)) {
            member = &candidate;
        }
    }
    if (member == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (id == kVersion ? (flags & DISPATCH_PROPERTYGET) == 0 : (flags & DISPATCH_METHOD) == 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (m_faultMethod == member->name) {
        if (m_fault == L"hang") {
            Sleep(INFINITE);
        }
        if (m_fault == L"throw") {
            if (exception != nullptr) {
                *exception = EXCEPINFO{};
                exception->bstrSource = SysAllocString(kProgId);
                exception->bstrDescription = SysAllocString(L"the stand-in was told to fail here");
                exception->scode = E_FAIL;
            }
            return DISP_E_EXCEPTION;
        }
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_I4;
            result->lVal = std::wcstol(m_fault.c_str(), nullptr, 10);
        }
        return S_OK;
    }
    if (id == kVersion) {
        if (params->cArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        if (result != nullptr) {
            VariantInit(result);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(L"0490");
        }
        return S_OK;
    }
    long answer = 0;
    const HRESULT hr = Call(id, params, answer, argumentError);
    if (SUCCEEDED(hr) && result != nullptr && id != kJVSkip && id != kJVCancel) {
        VariantInit(result);
        result->vt = VT_I4;
        result->lVal = answer;
    }
    return hr;
}

HRESULT Component::Call(DISPID id, DISPPARAMS* params, long& answer, UINT* argumentError)
{
    // The kinds of each method's parameters: T text, L long, t text by reference, l long
    // by reference, b byte array by reference.
    const char* kinds = "";
    switch (id) {
    case kJVInit: kinds = "T"; break;
    case kJVOpen: kinds = "TTLllt"; break;
    case kJVGets: kinds = "bLt"; break;
    case kJVRead: kinds = "tlt"; break;
    case kJVRTOpen: kinds = "TT"; break;
    default: break;
    }
    const UINT count = static_cast<UINT>(std::char_traits<char>::length(kinds));
    if (params->cArgs != count || params->cNamedArgs != 0) {
        return DISP_E_BADPARAMCOUNT;
    }
    for (UINT i = 0; i < count; ++i) {
        const VARIANT& v = Argument(params, i);
        const bool fits = kinds[i] == 'T'   ? IsText(v)
                          : kinds[i] == 'L' ? IsLong(v)
                          : kinds[i] == 't' ? IsTextRef(v)
                          : kinds[i] == 'l' ? IsLongRef(v)
                                            : IsBytesRef(v);
        if (!fits) {
            if (argumentError != nullptr) {
                *argumentError = params->cArgs - 1 - i;
            }
            return DISP_E_TYPEMISMATCH;
        }
    }
    switch (id) {
    case kJVInit:
        m_initialised = SysStringLen(TextOf(Argument(params, 0))) > 0;
        answer = m_initialised ? 0 : -101;
        break;
    case kJVSetUIProperties:
        answer = 0;
        break;
    case kJVOpen: {
        const std::string from = Narrow(TextOf(Argument(params, 1)));
        if (!m_initialised) {
            answer = -201;
            break;
        }
        if (m_open) {
            answer = -202;
            break;
        }
        std::vector<std::filesystem::path> files;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(m_feed / "stored", ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.size() > 15 && name[14] == '-' && name.ends_with(".jvd") && name.substr(0, 14) > from) {
                files.push_back(it->path());
            }
        }
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            answer = -1;
            break;
        }
        *Argument(params, 3).plVal = static_cast<long>(files.size());
        *Argument(params, 4).plVal = static_cast<long>(files.size());
        SetBstr(Argument(params, 5).pbstrVal, Widen(files.back().filename().string().substr(0, 14)));
        OpenFiles(std::move(files));
        m_downloadCount = *Argument(params, 4).plVal;
        answer = 0;
        break;
    }
    case kJVStatus:
        if (!m_open) {
            answer = -203;
            break;
        }
        answer = m_downloaded;
        m_downloaded = std::min(m_downloaded + 1, m_downloadCount);
        break;
    case kJVGets:
    case kJVRead: {
        std::string record;
        std::string fileName;
        answer = NextRecord(record, fileName);
        if (answer > LongOf(Argument(params, 1))) {
            answer = -403;
        }
        if (answer <= 0) {
            break;
        }
        if (id == kJVGets) {
            SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(record.size()));
            void* data = nullptr;
            SafeArrayAccessData(bytes, &data);
            std::copy(record.begin(), record.end(), static_cast<char*>(data));
            SafeArrayUnaccessData(bytes);
            SAFEARRAY** target = Argument(params, 0).pparray;
            if (*target != nullptr) {
                SafeArrayDestroy(*target);
            }
            *target = bytes;
        } else {
            SetBstr(Argument(params, 0).pbstrVal, Widen(record));
        }
        SetBstr(Argument(params, 2).pbstrVal, Widen(fileName));
        break;
    }
    case kJVSkip:
        if (m_open && m_fileLoaded) {
            m_recordIndex = m_records.size();
        }
        break;
    case kJVRTOpen: {
        const std::string spec = Narrow(TextOf(Argument(params, 0)));
        const std::string key = Narrow(TextOf(Argument(params, 1)));
        if (!m_initialised) {
            answer = -201;
            break;
        }
        const std::filesystem::path file = m_feed / "realtime" / spec / (key + ".jvd");
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            answer = -1;
            break;
        }
        OpenFiles({file});
        answer = 0;
        break;
    }
    case kJVCancel:
    case kJVClose:
        m_open = false;
        m_files.clear();
        answer = 0;
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    return S_OK;
}

void Component::OpenFiles(std::vector<std::filesystem::path> files)
{
    m_open = true;
    m_files = std::move(files);
    m_fileIndex = 0;
    m_fileLoaded = false;
    m_busyShown = false;
    m_downloadCount = 0;
    m_downloaded = 0;
}

long Component::NextRecord(std::string& record, std::string& fileName)
{
    if (!m_open) {
        return m_initialised ? -203 : -201;
    }
    if (m_files.empty()) {
        return 0;
    }
    if (!m_fileLoaded) {
        m_records = RecordsOf(m_files[m_fileIndex]);
        m_recordIndex = 0;
        m_fileLoaded = true;
    }
    if (m_recordIndex >= m_records.size()) {
        if (m_fileIndex + 1 >= m_files.size()) {
            return 0;
        }
        ++m_fileIndex;
        m_fileLoaded = false;
        m_busyShown = false;
        return -1;
    }
    if (!m_busyShown) {
        m_busyShown = true;
        return -3;
    }
    record = m_records[m_recordIndex++];
    fileName = m_files[m_fileIndex].filename().string();
    return static_cast<long>(record.size());
}

class Factory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        Component* component = new Component();
        const HRESULT hr = component->QueryInterface(iid, object);
        component->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

bool SetKey(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const LONG status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (classId != kClassId) {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(g_module, path, MAX_PATH);
    const std::wstring classKey = std::wstring(L"CLSID\\") + kClassIdText;
    const bool done = SetKey(std::wstring(kProgId) + L"\\CLSID", nullptr, kClassIdText) &&
                      SetKey(classKey, nullptr, kProgId) && SetKey(classKey + L"\\ProgID", nullptr, kProgId) &&
                      SetKey(classKey + L"\\InprocServer32", nullptr, path) &&
                      SetKey(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    return done ? S_OK : E_FAIL;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClassIdText).c_str());
    return S_OK;
}
