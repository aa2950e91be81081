// The command line's Windows side. The program is a GUI program: started from
// a console, it writes into that console; with its output sent to a file or a
// pipe, there; with neither, its answer comes in a box.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <sstream>

#include "app/commandline.h"
#include "common/systempaths.h"

namespace fs = std::filesystem;

namespace krvx {

namespace {

// The longest path the wide-character functions take.
constexpr std::size_t kLongestPath = 32767;
constexpr std::size_t kLongestName = 255;

std::wstring wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

// Writes text to a console as characters, to a file or pipe as UTF-8.
bool writeTo(HANDLE handle, const std::string& text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring characters = wide(text);
        return WriteConsoleW(handle, characters.data(), static_cast<DWORD>(characters.size()), &written, nullptr);
    }
    return GetFileType(handle) != FILE_TYPE_UNKNOWN &&
           WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// What the program was given as its standard output and error, else the
// console of the program that started it. False when there is neither.
bool writeOut(const std::string& out, const std::string& err) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if ((out.empty() || writeTo(output, out)) && (err.empty() || writeTo(error, err))) return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    // The console's prompt came back as the program started: the answer starts on a line of its own.
    const bool written = writeTo(console, "\n" + out + err);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
    return written;
}

// The help for a player who started the program from a shortcut: a box,
// whose lines the box breaks itself.
std::string helpInABox() {
    return "Korvax Rechner rechnet für das Weltraum-Strategiespiel Korvax: Reisezeit, Schiffspreise, "
           "Produktionszeiten und Tausch-Rechner.\n\n"
           "korvax-rechner.exe\n"
           "arbeitet im Ordner, in dem es gestartet wird. Das installierte Programm arbeitet, in seinem "
           "Programmordner gestartet, im Datenordner.\n\n"
           "korvax-rechner.exe --data-folder\n"
           "arbeitet im Datenordner " +
           platform::dataFolderShown() +
           " (so startet es der Eintrag im Startmenü).\n\n"
           "korvax-rechner.exe --data-folder \"C:\\Spiele\\Korvax\"\n"
           "arbeitet im genannten Ordner, etwa dem des alten Rechners.\n\n"
           "Ein Ordner ohne Datendateien wird mit den Beispieldateien gefüllt; vorhandene Dateien bleiben "
           "unverändert.\n\n"
           "korvax-rechner.exe --version\n"
           "zeigt die Version.";
}

} // namespace

std::optional<int> answerCommandLine(int argc, char** argv) {
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string> args = platform::arguments(argc, argv);
    const std::optional<int> status = answerCommandLine(args, out, err);
    if (status && !writeOut(out.str(), err.str())) {
        const bool help = parseCommandLine(args).action == CommandLine::Action::Help;
        MessageBoxW(nullptr, wide(help ? helpInABox() : out.str() + err.str()).c_str(), L"Korvax Rechner",
                    MB_OK | (*status == 0 ? MB_ICONINFORMATION : MB_ICONERROR));
    }
    return status;
}

namespace platform {

std::string dataFolderShown() {
    return "%APPDATA%\\Korvax Rechner";
}

std::string endedFromOutside() {
    return "Abmelden, Herunterfahren und taskkill beenden das\nProgramm wie ";
}

fs::path programFile(int /*argc*/, char** /*argv*/) {
    std::wstring file(kLongestPath, L'\0');
    const DWORD size = GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
    file.resize(size);
    return fs::path(file);
}

std::vector<std::string> arguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> result;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; words != nullptr && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, words[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(static_cast<std::size_t>(std::max(size, 1)), '\0');
        WideCharToMultiByte(CP_UTF8, 0, words[i], -1, word.data(), size, nullptr, nullptr);
        word.resize(word.size() - 1);
        result.push_back(word);
    }
    LocalFree(words);
    return result;
}

// The installer puts its uninstaller beside the program; the portable zip
// has none.
bool programFolderHoldsData(const fs::path& executable) {
    std::error_code unknown;
    return entryType(executable.parent_path() / L"Deinstallieren.exe", unknown) == fs::file_type::not_found && !unknown;
}

bool roomForFileNames(const fs::path& folder) {
    return folder.native().size() + 1 + kLongestName < kLongestPath;
}

} // namespace platform

} // namespace krvx
