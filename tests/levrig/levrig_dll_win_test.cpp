// levrig.dll as the tuner uses it: loaded from the program's folder, its
// entry points called by name, over Wine's own Core Audio and the rig's
// sound server.
#include "devices/names/endpoint_names_win.h"
#include "levrig/levrig_win.h"
#include "levrig/private_heap.h"
#include "levrig/property_keys_win.h"
#include "levrig/saved_place.h"
#include "levrig_test_kit_win.h"
#include "support/scoped_win.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_kit/ui_test_kit_win.h"

#include <gtest/gtest.h>

#include <dsound.h>
#include <mmdeviceapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

namespace tonvale::levrig {
namespace {

using namespace testkit;

std::wstring libraryPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"levrig.dll";
}

int threadCount() {
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    return count;
}

// What Wine lists for a direction: adapters in endpoint order (each once),
// and the default endpoint's adapter and name.
struct Endpoints {
    std::vector<std::wstring> adapters;
    std::wstring defaultAdapter;
    std::wstring defaultName;
};

Endpoints endpointsOf(bool recording) {
    Endpoints found;
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDeviceCollection> devices;
    ComPtr<IMMDevice> standard;
    CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                     __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid());
    const EDataFlow flow = recording ? eCapture : eRender;
    enumerator->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, devices.receive());
    UINT count = 0;
    devices->GetCount(&count);
    for (UINT i = 0; i < count; ++i) {
        ComPtr<IMMDevice> device;
        ComPtr<IPropertyStore> store;
        Text adapter;
        devices->Item(i, device.receive());
        device->OpenPropertyStore(STGM_READ, store.receive());
        readTextProperty(store.get(), kAdapterNameKey, adapter);
        std::wstring name(adapter.c_str());
        if (std::find(found.adapters.begin(), found.adapters.end(), name) == found.adapters.end())
            found.adapters.push_back(name);
    }
    enumerator->GetDefaultAudioEndpoint(flow, eMultimedia, standard.receive());
    ComPtr<IPropertyStore> store;
    standard->OpenPropertyStore(STGM_READ, store.receive());
    Text adapter;
    Text name;
    readTextProperty(store.get(), kAdapterNameKey, adapter);
    readTextProperty(store.get(), kEndpointNameKey, name);
    found.defaultAdapter = adapter.c_str();
    found.defaultName = name.c_str();
    return found;
}

// The adapter and endpoint name behind a playback wave device.
std::pair<std::wstring, std::wstring> playbackDevice(int index) {
    wchar_t id[kEndpointIdCapacity];
    if (!endpointId(DeviceDirection::playback, index, id))
        return {};
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDevice> device;
    ComPtr<IPropertyStore> store;
    CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                     __uuidof(IMMDeviceEnumerator), enumerator.receiveVoid());
    enumerator->GetDevice(id, device.receive());
    device->OpenPropertyStore(STGM_READ, store.receive());
    Text adapter;
    Text name;
    readTextProperty(store.get(), kAdapterNameKey, adapter);
    readTextProperty(store.get(), kEndpointNameKey, name);
    return {adapter.c_str(), name.c_str()};
}

// The DirectSound playback device described as `description`, as text.
std::wstring directSoundGuid(const std::wstring& description) {
    struct Search {
        std::wstring description;
        std::wstring guid;
    } search{description, L""};
    DirectSoundEnumerateW(
        [](LPGUID guid, LPCWSTR text, LPCWSTR, LPVOID context) -> BOOL {
            auto* state = static_cast<Search*>(context);
            if (guid && state->description == text) {
                wchar_t buffer[40] = {};
                StringFromGUID2(*guid, buffer, 40);
                state->guid = buffer;
            }
            return TRUE;
        },
        &search);
    return search.guid;
}

class Environment : public ::testing::Environment {
  public:
    void SetUp() override {
        uikit::drawOwnFrames();
        // The library's own helpers linked here keep their text on its heap.
        ASSERT_TRUE(createPrivateHeap());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // The audio client's own threads start with its first use.
        endpointsOf(false);
        endpointsOf(true);
    }
};
const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new Environment);

class LevrigDll : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_ = CreateWindowExW(0, L"Static", L"Tonvale", WS_POPUP | WS_VISIBLE, 30, 30, 200, 80,
                                 nullptr, nullptr, nullptr, nullptr);
        library_ = LoadLibraryW(libraryPath().c_str());
        ASSERT_NE(library_, nullptr);
        levRig_ = entry(kLevRigName);
        levRigAsync_ = entry(kLevRigAsyncName);
        ASSERT_TRUE(levRig_ && levRigAsync_);
    }
    void TearDown() override {
        if (library_) {
            levRigAsync_(nullptr, nullptr);
            FreeLibrary(library_);
        }
        DestroyWindow(owner_);
    }
    LevRigFunction entry(const char* name) {
        return reinterpret_cast<LevRigFunction>(
            reinterpret_cast<void*>(GetProcAddress(library_, name)));
    }
    // The visible windows of the library titled so.
    static std::vector<HWND> windowsTitled(const wchar_t* title) {
        return uikit::findWindows(uikit::kDialogClass, title);
    }
    HWND open(const std::wstring& line, const wchar_t* title = L"Playback Volume") {
        EXPECT_EQ(levRigAsync_(owner_, line.c_str()), 0) << std::string(line.begin(), line.end());
        std::vector<HWND> windows = windowsTitled(title);
        return windows.empty() ? nullptr : windows.front();
    }

    HWND owner_ = nullptr;
    HMODULE library_ = nullptr;
    LevRigFunction levRig_ = nullptr;
    LevRigFunction levRigAsync_ = nullptr;
};

TEST(LevrigFile, ExportsExactlyTheTwoEntryPoints) {
    std::ifstream file(libraryPath().c_str(), std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    ASSERT_GT(image.size(), 4096u);
    auto at = [&](size_t offset) { return image.data() + offset; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(at(dos->e_lfanew));
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    const IMAGE_DATA_DIRECTORY& exports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& section = sections[i];
            if (rva >= section.VirtualAddress &&
                rva < section.VirtualAddress + section.Misc.VirtualSize)
                return rva - section.VirtualAddress + section.PointerToRawData;
        }
        return 0;
    };
    const auto* directory =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(at(fileOffset(exports.VirtualAddress)));
    const auto* names = reinterpret_cast<const DWORD*>(at(fileOffset(directory->AddressOfNames)));
    std::set<std::string> exported;
    for (DWORD i = 0; i < directory->NumberOfNames; ++i)
        exported.insert(at(fileOffset(names[i])));
    EXPECT_EQ(exported, (std::set<std::string>{"LevRig", "LevRigAsync"}));
    EXPECT_EQ(directory->NumberOfFunctions, 2u);
}

TEST_F(LevrigDll, WindowsListTheSoundServersEndpoints) {
    const Endpoints playback = endpointsOf(false);
    const Endpoints recording = endpointsOf(true);
    ASSERT_FALSE(playback.adapters.empty());
    ASSERT_FALSE(recording.adapters.empty());

    HWND playbackWindow = open(L"");
    ASSERT_NE(playbackWindow, nullptr);
    EXPECT_EQ(adapterNames(playbackWindow), playback.adapters);
    EXPECT_EQ(adapterNames(playbackWindow).at(chosenAdapter(playbackWindow)),
              playback.defaultAdapter);
    EXPECT_EQ(panelName(focusedPanel(playbackWindow)), playback.defaultName);
    // Wine's endpoint volume reports no channels and no hardware mute.
    HWND panel = focusedPanel(playbackWindow);
    EXPECT_TRUE(enabled(panel, kVolumeSlider));
    EXPECT_FALSE(enabled(panel, kMuteBox));
    EXPECT_FALSE(enabled(panel, kMoreButton));
    EXPECT_TRUE(uikit::captureWindow(playbackWindow,
                                     uikit::artefactPath(L"levrig_dll_test", L"playback.png")));

    HWND recordingWindow = open(L"/R", L"Recording Volume");
    ASSERT_NE(recordingWindow, nullptr);
    EXPECT_EQ(adapterNames(recordingWindow), recording.adapters);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(focusedPanel(recordingWindow), kMoreButton)));
    EXPECT_TRUE(uikit::captureWindow(recordingWindow,
                                     uikit::artefactPath(L"levrig_dll_test", L"recording.png")));

    // The same direction again: the open window comes forward.
    SetForegroundWindow(owner_);
    EXPECT_EQ(levRigAsync_(owner_, L"/I x.ini /R /D0"), 0);
    EXPECT_EQ(windowsTitled(L"Recording Volume").size(), 1u);
    EXPECT_TRUE(uikit::waitUntil([&] { return GetForegroundWindow() == recordingWindow; }, 15000));

    EXPECT_EQ(levRigAsync_(nullptr, nullptr), 1);
    EXPECT_TRUE(windowsTitled(L"Playback Volume").empty());
    EXPECT_TRUE(windowsTitled(L"Recording Volume").empty());
    EXPECT_EQ(levRigAsync_(owner_, nullptr), 1);
}

TEST_F(LevrigDll, DeviceOptionsChooseTheEndpoint) {
    const auto [adapter, name] = playbackDevice(1);
    ASSERT_FALSE(adapter.empty());
    const std::wstring guid = directSoundGuid(name);
    ASSERT_FALSE(guid.empty());
    for (const std::wstring& line :
         std::vector<std::wstring>{L"/D1", L"/D12", L"-g " + guid, L"/E x /G \"" + guid + L"\""}) {
        HWND window = open(line);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(adapterNames(window).at(chosenAdapter(window)), adapter);
        EXPECT_EQ(panelName(focusedPanel(window)), name) << std::string(line.begin(), line.end());
        levRigAsync_(nullptr, nullptr);
    }
    // Bad or unknown choices leave the default endpoint.
    const Endpoints playback = endpointsOf(false);
    const std::wstring longId(300, L'x');
    for (const std::wstring& line :
         std::vector<std::wstring>{L"/Dx", L"/D9", L"/E {0.0.0.00000000}.{nowhere}",
                                   L"/E " + longId, L"/G {1234}", L"volume /Z -", L"/E"}) {
        HWND window = open(line);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(panelName(focusedPanel(window)), playback.defaultName)
            << std::string(line.begin(), line.end());
        levRigAsync_(nullptr, nullptr);
    }
}

TEST_F(LevrigDll, PlaceAndHeightRoundTripThroughBothStores) {
    testing_files::TempFolder folder;
    const std::wstring ini = folder.wide("levrig.ini");
    const std::wstring key = L"Software\\Tonvale tests\\dll " + std::to_wstring(GetTickCount());
    for (const std::wstring& store :
         std::vector<std::wstring>{L"/I \"" + ini + L"\"", L"/K \"" + key + L"\""}) {
        HWND window = open(store + L" /R", L"Recording Volume");
        ASSERT_NE(window, nullptr);
        RECT rect = {};
        GetWindowRect(window, &rect);
        const int height = rect.bottom - rect.top;
        SetWindowPos(window, nullptr, 260, 140, rect.right - rect.left, height, SWP_NOZORDER);
        levRigAsync_(nullptr, nullptr);

        SavedPlace saved;
        if (store[1] == L'I')
            readPlaceFromIni(ini.c_str(), true, saved);
        else
            readPlaceFromRegistry(key.c_str(), true, saved);
        // Kept as the offset from the owner's corner (30, 30).
        EXPECT_EQ(saved.left, 230);
        EXPECT_EQ(saved.top, 110);
        EXPECT_EQ(saved.height, height);

        window = open(store + L" /R", L"Recording Volume");
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, 260);
        EXPECT_EQ(rect.top, 140);
        levRigAsync_(nullptr, nullptr);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(LevrigDll, AWindowThatCannotBeMadeShowsItsBox) {
    ErrorBoxWatcher box;
    EXPECT_EQ(levRigAsync_(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0)), L""), 1);
    EXPECT_EQ(box.text(), L"Volume Control: Window creation was failed.");
}

TEST_F(LevrigDll, LevRigShowsTheWindowOnTheCallersThread) {
    int32_t result = -1;
    std::thread caller([&] { result = levRig_(nullptr, L"/R"); });
    HWND window = uikit::waitForWindow(uikit::kDialogClass, L"Recording Volume", 15000);
    ASSERT_NE(window, nullptr);
    // Unowned: it can be minimised.
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_MINIMIZEBOX);
    PostMessageW(window, WM_CLOSE, 0, 0);
    caller.join();
    EXPECT_EQ(result, 0);
}

TEST_F(LevrigDll, UnloadingLeavesNoThread) {
    // This test's own load counts too: start from an unloaded library.
    FreeLibrary(library_);
    library_ = nullptr;
    const int before = threadCount();
    SetUp();
    HWND playback = open(L"");
    HWND recording = open(L"/R", L"Recording Volume");
    ASSERT_TRUE(playback && recording);
    // A window thread each, neither of them the caller's.
    const DWORD windowThreads[2] = {GetWindowThreadProcessId(playback, nullptr),
                                    GetWindowThreadProcessId(recording, nullptr)};
    EXPECT_NE(windowThreads[0], windowThreads[1]);
    EXPECT_NE(windowThreads[0], GetCurrentThreadId());
    EXPECT_NE(windowThreads[1], GetCurrentThreadId());
    EXPECT_GE(threadCount(), before + 2);
    EXPECT_EQ(levRigAsync_(nullptr, nullptr), 1);
    // The closing call waits for the window threads.
    for (DWORD id : windowThreads) {
        UniqueHandle thread(OpenThread(SYNCHRONIZE, FALSE, id));
        EXPECT_TRUE(!thread || WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0) << id;
    }
    FreeLibrary(library_);
    library_ = nullptr;
    EXPECT_EQ(GetModuleHandleW(L"levrig.dll"), nullptr);
    // The system's own short-lived threads may still be on their way out on
    // a busy machine; one the library left would never go.
    EXPECT_TRUE(uikit::waitUntil([&] { return threadCount() == before; }, 15000, uikit::Pump::no))
        << threadCount() << " threads, " << before << " before";
}

} // namespace
} // namespace tonvale::levrig
