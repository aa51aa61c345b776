#include "tests/support/windows_child.h"

#include <gtest/gtest.h>

#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace trovane::testing {
namespace {

UniqueHandle Inheritable(const std::string& path) {
  if (path.empty()) return UniqueHandle();
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  return UniqueHandle(CreateFileW(
      WideText(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
      &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::string BesideThisProgram(const std::string& name) {
  std::wstring own(MAX_PATH, L'\0');
  own.resize(
      GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size())));
  return AnsiText(own.substr(0, own.rfind(L'\\') + 1)) + name;
}

int RunWindowsChild(const WindowsChildOptions& options,
                    std::chrono::seconds limit) {
  std::wstring command_line;
  for (const std::string& argument : options.arguments) {
    if (!command_line.empty()) command_line += L' ';
    command_line += L'"' + WideText(argument) + L'"';
  }
  const UniqueHandle out = Inheritable(options.out_path);
  const UniqueHandle err = Inheritable(options.err_path);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = out.valid() ? out.get() : nullptr;
  startup.hStdError = err.valid() ? err.get() : nullptr;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE,
                     options.own_console ? CREATE_NEW_CONSOLE : 0, nullptr,
                     nullptr, &startup, &started) == 0) {
    ADD_FAILURE() << "cannot start " << options.arguments.front();
    return -1;
  }
  CloseHandle(started.hThread);
  const UniqueHandle process(started.hProcess);
  const auto limit_ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(limit).count();
  if (WaitForSingleObject(process.get(), static_cast<DWORD>(limit_ms)) !=
      WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    ADD_FAILURE() << options.arguments.front() << " ran past its limit";
    return -1;
  }
  DWORD status = 0;
  GetExitCodeProcess(process.get(), &status);
  return static_cast<int>(status);
}

}  // namespace trovane::testing
