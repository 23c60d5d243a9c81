// tarvel.exe end to end, under wine on a virtual display: the tests start it,
// press its buttons with window messages, answer its file dialogs by typing
// the name into the dialog's name field, and read its memo, panels and
// status bar back.

#include <windows.h>
// The scene generator has a class of this name.
#undef TextOut

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/generated_import.h"
#include "log/stop.h"
#include "render/colour.h"
#include "render/png_writer.h"
#include "scene_generator/race_scene.h"
#include "support/cli_runner.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "win/main_layout.h"
#include "win/main_window.h"
#include "window/window_logic.h"

namespace tarvel::win {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ReadWholeFile;

constexpr int kFileNameCombo = 0x47c;  // cmb13
constexpr int kFileNameEdit = 0x480;   // edt1

std::string ExamplePath(const std::string& name) {
    return (fs::path(TARVEL_EXAMPLES_DIR) / name).string();
}

// Polls until ready says so, for up to limit.
bool WaitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit = 60s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::wstring Wide(const std::string& text) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          size);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          size, nullptr, nullptr);
    return narrow;
}

// WM_GETTEXT is passed between processes with its text, unlike
// GetWindowText.
std::string TextOf(HWND control) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return Narrow(text);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (!text.empty() && start <= text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    return lines;
}

struct WindowSearch {
    const wchar_t* className;
    HWND found = nullptr;
};

// The first visible top-level window of the class; the tests run one
// program at a time.
HWND FindTopWindow(const wchar_t* className) {
    WindowSearch search{className};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<WindowSearch*>(param);
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (std::wstring(name) == s.className && ::IsWindowVisible(hwnd) != 0) {
                s.found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The window's client area as the screen shows it, for the README's
// pictures (with no window manager on the display, nothing draws a frame).
void Capture(HWND hwnd, const fs::path& path) {
    ::SetForegroundWindow(hwnd);
    std::this_thread::sleep_for(500ms);
    RECT box{};
    ::GetClientRect(hwnd, &box);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&box), 2);
    const int width = box.right - box.left, height = box.bottom - box.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    render::FrameBuffer picture;
    picture.Resize(width, height);
    const auto* bgra = static_cast<const unsigned char*>(bits);
    for (std::size_t i = 0; i < picture.colour.size(); ++i) {
        picture.colour[i] = render::PackRgba(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(render::WritePng(path.string(), picture), "");
}

// The visible window the main window owns (the preview), if any.
HWND OwnedWindow(HWND owner) {
    std::pair<HWND, HWND> search{owner, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<std::pair<HWND, HWND>*>(param);
            if (::GetWindow(hwnd, GW_OWNER) == s.first && ::IsWindowVisible(hwnd) != 0) {
                s.second = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// tarvel.exe in a folder of its own (its log file goes there).
class Tarvel {
  public:
    Tarvel(const fs::path& dir, std::vector<std::string> args) : dir_(dir) {
        args.insert(args.begin(), TARVEL_WIN_EXE);
        program_ = testing::StartProgram(dir, args, dir / "out.txt", dir / "err.txt");
    }
    ~Tarvel() {
        if (program_ && !Ended()) {
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
            WaitFor([this] { return Ended(); }, 10s);
        }
    }

    bool Started() const { return program_ != nullptr; }
    bool Ended() { return program_->Ended(status_); }
    // The exit status once it has ended within the time; nullopt otherwise.
    std::optional<int> Exit(std::chrono::milliseconds limit = 120s) {
        if (!WaitFor([this] { return Ended(); }, limit)) {
            return std::nullopt;
        }
        return status_;
    }
    std::string Output() const { return ReadWholeFile(dir_ / "out.txt"); }

    bool FindWindow() {
        return WaitFor([this] { return (window_ = FindTopWindow(kMainWindowClass)) != nullptr; });
    }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    std::string Text(int id) const { return TextOf(Control(id)); }
    std::vector<std::string> Memo() const { return Lines(Text(kMemo)); }
    std::vector<std::string> Panels() const {
        std::vector<std::string> texts;
        for (int id = kDepthPanel; id <= kNodesPanel; ++id) {
            texts.push_back(Text(id));
        }
        return texts;
    }

    // Posted, since a click may open a modal dialog.
    void Click(int id) {
        ::PostMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Control(id)));
    }
    void SetDebugLog(bool on) {
        ::SendMessageW(Control(kDebugLogBox), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        Click(kDebugLogBox);
    }
    // The file dialog the last click opened gets path as if typed and OK.
    bool AnswerFileDialog(const std::string& path) {
        HWND dialog = nullptr;
        if (!WaitFor([&] { return (dialog = FindTopWindow(L"#32770")) != nullptr; })) {
            ADD_FAILURE() << "no dialog";
            return false;
        }
        HWND name = ::GetDlgItem(dialog, kFileNameCombo);
        if (name == nullptr) {
            name = ::GetDlgItem(dialog, kFileNameEdit);
        }
        // As a person would type it: the dialogs take forward slashes for
        // filter patterns.
        std::wstring typed = Wide(path);
        std::replace(typed.begin(), typed.end(), L'/', L'\\');
        ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return WaitFor([&] { return ::IsWindow(dialog) == 0; });
    }
    // Until no work runs. Only once a work has started: a click is posted,
    // and may not have been handled yet.
    bool WaitIdle() {
        return WaitFor([this] { return ::IsWindowEnabled(Control(kStopButton)) == 0; }, 300s);
    }

    HWND Preview() const { return OwnedWindow(window_); }

    // The main window after a build, its About dialog and its preview.
    void Screenshots(const fs::path& dir) {
        Capture(window_, dir / "windows-main-window.png");
        Click(kAboutButton);
        HWND about = nullptr;
        if (WaitFor([&] { return (about = FindTopWindow(L"#32770")) != nullptr; }, 10s)) {
            Capture(about, dir / "windows-about.png");
            ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            WaitFor([&] { return ::IsWindow(about) == 0; }, 10s);
        }
        Click(kPreviewButton);
        HWND preview = nullptr;
        if (WaitFor([&] { return (preview = Preview()) != nullptr; }, 10s)) {
            std::this_thread::sleep_for(1s);
            Capture(preview, dir / "windows-preview.png");
        }
    }

  private:
    fs::path dir_;
    std::unique_ptr<testing::RunningProgram> program_;
    HWND window_ = nullptr;
    int status_ = -1;
};

// What the Linux window's memo shows for a pick and a build of the same
// file: the same calls, without a window.
std::vector<std::string> MemoWithoutWindow(const std::string& scene, const std::string& output) {
    LogContext context;
    VectorMemoSink memo;
    context.memo = &memo;
    ScopedLogContext scope(context);
    BeginPick();
    std::optional<ImportedScene> imported = ImportScene(scene);
    EXPECT_TRUE(imported);
    if (imported) {
        RunConversion(&imported->polys, &imported->cupboard,
                      [&] { return std::optional<std::string>(output); });
    }
    return {memo.lines.begin(), memo.lines.end()};
}

class WinWindow : public ::testing::Test {
  protected:
    testing::TempDir dir_{"tarvel-win"};
    fs::path Path(const std::string& name) const { return dir_.path() / name; }
};

TEST_F(WinWindow, pick_and_build_save_the_cli_file_and_show_the_linux_memo) {
    const testing::CliOutcome cli =
        testing::RunCli(dir_.path(), "compile '" + ExamplePath("village.ase") + "' -o cli.3do");
    ASSERT_EQ(cli.status, 0) << cli.err;
    const std::string saved = Path("window.3do").string();
    const std::vector<std::string> expected = MemoWithoutWindow(ExamplePath("village.ase"), saved);
    fs::remove(saved);

    Tarvel tarvel(dir_.path(), {});
    ASSERT_TRUE(tarvel.Started());
    ASSERT_TRUE(tarvel.FindWindow());
    EXPECT_EQ(tarvel.Panels(), (std::vector<std::string>{"0", "0", "0", "0", "0"}));
    EXPECT_EQ(tarvel.Text(kBspButton), "&BSP && save as 3DO...");
    EXPECT_FALSE(::IsWindowEnabled(tarvel.Control(kPreviewButton)));
    tarvel.Click(kPickButton);
    ASSERT_TRUE(tarvel.AnswerFileDialog(ExamplePath("village.ase")));
    // The dialog may be gone before the pick has started: wait for its end.
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(tarvel.Control(kPreviewButton)) != 0; }));
    ASSERT_TRUE(tarvel.WaitIdle());
    tarvel.Click(kBspButton);
    ASSERT_TRUE(tarvel.AnswerFileDialog(saved));
    ASSERT_TRUE(tarvel.WaitIdle());

    EXPECT_EQ(ReadWholeFile(saved), ReadWholeFile(Path("cli.3do")));
    EXPECT_EQ(tarvel.Memo(), expected);
    EXPECT_EQ(tarvel.Text(kStatusBar), "flat lists: none");
    EXPECT_NE(tarvel.Panels()[4], "0");
    if (const char* shots = std::getenv("TARVEL_SCREENSHOT_DIR")) {
        tarvel.Screenshots(shots);
    }
    tarvel.Click(kPreviewButton);
    EXPECT_TRUE(WaitFor([&] { return tarvel.Preview() != nullptr; }, 10s));
    tarvel.Click(kClearLogButton);
    EXPECT_TRUE(WaitFor([&] { return tarvel.Text(kMemo).empty(); }));
    tarvel.Click(kQuitButton);
    EXPECT_EQ(tarvel.Exit(), 0);
}

// Stop, or Quit, while a long build runs: the work ends, nothing is saved,
// and Quit closes the window at once and ends the program once the work has.
TEST_F(WinWindow, stop_or_quit_during_a_long_build_saves_nothing) {
    const std::string scene = Path("track.ase").string();
    {
        std::FILE* file = std::fopen(scene.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string text = scenegen::testing::AseText(scenegen::GenerateRaceScene(21000, 5));
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    for (const int press : {kStopButton, kQuitButton}) {
        SCOPED_TRACE(press);
        Tarvel tarvel(dir_.path(), {scene});
        ASSERT_TRUE(tarvel.FindWindow());
        ASSERT_TRUE(WaitFor([&] { return tarvel.Panels()[1] != "0"; }));
        ASSERT_TRUE(tarvel.WaitIdle());
        // With the log on a build of this size runs long.
        tarvel.SetDebugLog(true);
        tarvel.Click(kBspButton);
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<std::string> memo = tarvel.Memo();
            return !memo.empty() && memo.back() == "BSPing first node...";
        }));
        tarvel.Click(press);
        if (press == kStopButton) {
            ASSERT_TRUE(tarvel.WaitIdle());
            EXPECT_EQ(tarvel.Memo().back(), kStoppedLine);
            EXPECT_FALSE(FindTopWindow(L"#32770"));
            tarvel.Click(kQuitButton);
        } else {
            EXPECT_TRUE(WaitFor([&] { return FindTopWindow(kMainWindowClass) == nullptr; }, 5s));
        }
        EXPECT_EQ(tarvel.Exit(), 0);
        for (const auto& entry : fs::directory_iterator(dir_.path())) {
            EXPECT_NE(entry.path().extension(), ".3do") << entry.path();
        }
    }
}

struct SwitchCase {
    const char* name;
    std::vector<std::string> args;  // "@in", "@out" stand for the example and the output
    int exitStatus;
    const char* outputStart;
    bool windowStays;  // closed by the test
    bool picks;        // the scene's polygon count shows
    bool saves;
};

TEST_F(WinWindow, switches_print_to_the_starting_console_and_end_as_on_linux) {
    const testing::CliOutcome cli =
        testing::RunCli(dir_.path(), "compile '" + ExamplePath("village.ase") + "' -o cli.3do");
    ASSERT_EQ(cli.status, 0) << cli.err;
    const SwitchCase cases[] = {
        {"usage", {"-h"}, 0, "TARVEL - compiles", true, false, false},
        {"unattended", {"-b", "@in", "@out"}, 0, "\n** Opening file", false, false, true},
        {"too few names", {"-b", "@in"}, 1, "\n** Not enough parameters.", false, false, false},
        {"missing input",
         {"-B", "@missing", "@out"},
         1,
         "\n** Could not open file",
         false,
         false,
         false},
        {"a scene named alone", {"@in"}, 0, "", true, true, false},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path out = Path("b.3do");
        std::vector<std::string> args;
        for (const std::string& arg : c.args) {
            args.push_back(arg == "@in"        ? ExamplePath("village.ase")
                           : arg == "@out"     ? out.string()
                           : arg == "@missing" ? Path("gone.ase").string()
                                               : arg);
        }
        Tarvel tarvel(dir_.path(), args);
        if (c.windowStays) {
            ASSERT_TRUE(tarvel.FindWindow());
            if (c.picks) {
                EXPECT_TRUE(WaitFor([&] { return tarvel.Panels()[1] != "0"; }));
                ASSERT_TRUE(tarvel.WaitIdle());
            }
            tarvel.Click(kQuitButton);
        }
        EXPECT_EQ(tarvel.Exit(), c.exitStatus);
        EXPECT_EQ(tarvel.Output().rfind(c.outputStart, 0), 0u) << tarvel.Output();
        EXPECT_EQ(fs::exists(out), c.saves);
        if (c.saves) {
            EXPECT_EQ(ReadWholeFile(out), ReadWholeFile(Path("cli.3do")));
        }
        fs::remove(out);
    }
}

}  // namespace
}  // namespace tarvel::win
