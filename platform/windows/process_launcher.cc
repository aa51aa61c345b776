// Starting a companion program: a process of its own in a new console,
// shown minimised, that outlives this one and is never waited for.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/listing_count.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/windows/system_path.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace trovane {
namespace {

constexpr std::string_view kProgramExtension = ".exe";

bool IsFileAt(const std::string& path) {
  const std::optional<std::wstring> system_path = SystemPath(path, "C:\\");
  if (!system_path) return false;
  const DWORD attributes = GetFileAttributesW(system_path->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolderAt(const std::wstring& system_path) {
  const DWORD attributes = GetFileAttributesW(system_path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// One argument as the C library of the started program splits its command
// line back into arguments: quoted when it holds a blank or a quote, a
// quote and the backslashes before one doubled by a backslash.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() &&
      argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

// This process's environment without a listing count's setting of its own,
// with `setting` when it is given: sorted by name without regard to case,
// as the system keeps an environment.
std::wstring EnvironmentBlock(const std::wstring& setting) {
  std::vector<std::wstring> settings;
  const std::wstring variable = WideText(ListingCount::kVariable) + L"=";
  if (wchar_t* const block = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry != L'\0';
         entry += wcslen(entry) + 1) {
      const std::wstring_view text(entry);
      const bool count =
          text.size() >= variable.size() &&
          CompareStringOrdinal(
              text.data(), static_cast<int>(variable.size()), variable.data(),
              static_cast<int>(variable.size()), TRUE) == CSTR_EQUAL;
      if (!count) settings.emplace_back(text);
    }
    FreeEnvironmentStringsW(block);
  }
  if (!setting.empty()) settings.push_back(setting);
  std::sort(settings.begin(), settings.end(),
            [](const std::wstring& a, const std::wstring& b) {
              return CompareStringOrdinal(a.data(), static_cast<int>(a.size()),
                                          b.data(), static_cast<int>(b.size()),
                                          TRUE) == CSTR_LESS_THAN;
            });
  std::wstring joined;
  for (const std::wstring& entry : settings) {
    joined += entry;
    joined.push_back(L'\0');
  }
  joined.push_back(L'\0');
  return joined;
}

// Watched through its handle, which cannot come to stand for another
// process that gets its number later.
class WindowsProcess : public StartedProcess {
 public:
  WindowsProcess(UniqueHandle process, std::unique_ptr<ListingCount> count)
      : process_(std::move(process)), count_(std::move(count)) {}

  bool Ended() override {
    return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
  }
  Waitable EndWaker() const override {
    return Waitable(reinterpret_cast<intptr_t>(process_.get()));
  }
  uint64_t ListedPaths() const override { return count_ ? count_->Read() : 0; }

 private:
  UniqueHandle process_;
  std::unique_ptr<ListingCount> count_;
};

// The handles a started process inherits, and no other: the listing
// count's and the file its standard error goes to, for as long as the
// process is being made.
class InheritedHandles {
 public:
  explicit InheritedHandles(std::vector<HANDLE> handles)
      : handles_(std::move(handles)) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    ready_ = !handles_.empty() &&
             InitializeProcThreadAttributeList(list_, 1, 0, &size) != 0;
    initialised_ = ready_;
    for (const HANDLE handle : handles_) {
      ready_ = ready_ && SetHandleInformation(handle, HANDLE_FLAG_INHERIT,
                                              HANDLE_FLAG_INHERIT) != 0;
    }
    if (ready_) {
      ready_ = UpdateProcThreadAttribute(
                   list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                   handles_.size() * sizeof(HANDLE), nullptr, nullptr) != 0;
    }
  }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;
  ~InheritedHandles() {
    if (initialised_) DeleteProcThreadAttributeList(list_);
    for (const HANDLE handle : handles_) {
      SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
    }
  }

  bool ready() const { return ready_; }
  LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

 private:
  std::vector<HANDLE> handles_;
  std::vector<char> buffer_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
  bool initialised_ = false;
  bool ready_ = false;
};

// A new file for a started process's standard error, never made through a
// link or in the place of another file; invalid when it cannot be made.
UniqueHandle NewErrorFile(const std::string& path, const std::string& current) {
  const std::optional<std::wstring> system_path = SystemPath(path, current);
  if (path.empty() || !system_path) return UniqueHandle();
  DeleteFileW(system_path->c_str());
  return UniqueHandle(CreateFileW(system_path->c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

class WindowsLauncher : public ProcessLauncher {
 public:
  explicit WindowsLauncher(const Environment& environment)
      : environment_(environment) {}

  std::string FindCompanion(std::string_view name) const override {
    std::string program(name);
    if (!EndsWithNoCase(program, kProgramExtension)) {
      program += kProgramExtension;
    }
    std::string beside = environment_.ExecutableFolder() + "\\" + program;
    if (IsFileAt(beside)) return beside;
    const std::string path = environment_.Get("PATH");
    for (size_t start = 0; start < path.size();) {
      size_t end = path.find(';', start);
      if (end == std::string::npos) end = path.size();
      std::string folder = path.substr(start, end - start);
      std::erase(folder, '"');
      start = end + 1;
      if (folder.empty()) continue;
      std::string candidate = folder + "\\" + program;
      if (IsFileAt(candidate)) return candidate;
    }
    return {};
  }

  std::unique_ptr<StartedProcess> StartDetached(
      const std::string& program, const std::vector<std::string>& arguments,
      const std::string& folder, const std::string& error_file) override {
    const std::string current = environment_.CurrentFolder();
    const std::optional<std::string> program_path =
        FullDrivePath(program, current);
    if (!program_path) return nullptr;
    std::wstring command_line = Quoted(WideText(*program_path));
    for (const std::string& argument : arguments) {
      command_line += L" " + Quoted(WideText(argument));
    }
    const std::optional<std::string> working = FullDrivePath(folder, current);
    const std::optional<std::wstring> working_system =
        SystemPath(folder, current);
    const std::wstring working_folder =
        working && working_system && IsFolderAt(*working_system)
            ? WideText(*working)
            : std::wstring();

    // Without a count the batch still runs; the wait just shows no
    // progress.
    std::unique_ptr<ListingCount> count = ListingCount::Create();
    const UniqueHandle errors = NewErrorFile(error_file, current);
    std::vector<HANDLE> handles;
    if (count) handles.push_back(reinterpret_cast<HANDLE>(count->native()));
    if (errors.valid()) handles.push_back(errors.get());
    const InheritedHandles inherited(handles);
    const bool inherits = inherited.ready();
    std::wstring environment_block = EnvironmentBlock(
        inherits && count ? WideText(count->Setting()) : std::wstring());
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_SHOWMINNOACTIVE;
    if (inherits && errors.valid()) {
      // Standard input and output stay unset: the new console gives the
      // process its own (see the console's making in process_console.cc).
      startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
      startup.StartupInfo.hStdError = errors.get();
    }
    if (inherits) startup.lpAttributeList = inherited.list();
    PROCESS_INFORMATION started{};
    const std::wstring program_wide = WideText(*program_path);
    if (CreateProcessW(
            program_wide.c_str(), command_line.data(), nullptr, nullptr,
            inherits ? TRUE : FALSE,
            CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT |
                (inherits ? EXTENDED_STARTUPINFO_PRESENT : 0),
            environment_block.data(),
            working_folder.empty() ? nullptr : working_folder.c_str(),
            &startup.StartupInfo, &started) == 0) {
      return nullptr;
    }
    CloseHandle(started.hThread);
    return std::make_unique<WindowsProcess>(UniqueHandle(started.hProcess),
                                            std::move(count));
  }

 private:
  const Environment& environment_;
};

}  // namespace

std::unique_ptr<ProcessLauncher> MakeProcessLauncher(
    const Environment& environment) {
  return std::make_unique<WindowsLauncher>(environment);
}

}  // namespace trovane
