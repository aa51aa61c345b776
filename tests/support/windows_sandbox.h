// A fresh folder for one test in the system's temporary folder (under Wine,
// inside the build folder's own prefix), removed afterwards. Its paths are
// drive-form paths, as the Windows build names every path.
#ifndef TROVANE_TESTS_SUPPORT_WINDOWS_SANDBOX_H_
#define TROVANE_TESTS_SUPPORT_WINDOWS_SANDBOX_H_

#include <string>
#include <string_view>

namespace trovane::testing {

class WindowsSandbox {
 public:
  WindowsSandbox();
  WindowsSandbox(const WindowsSandbox&) = delete;
  WindowsSandbox& operator=(const WindowsSandbox&) = delete;
  ~WindowsSandbox();

  // "C:\...\trovane-test-N".
  const std::string& root() const { return root_; }
  // The path of a path relative to the root ("Run\FileList.txt").
  std::string Path(std::string_view relative) const;

  // Writes the bytes as they are, making the folders above the file.
  void Write(std::string_view relative, std::string_view content) const;
  // The bytes of a file; empty when there is none.
  std::string Read(std::string_view relative) const;
  bool Exists(std::string_view relative) const;
  void MakeFolder(std::string_view relative) const;

 private:
  std::string root_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_WINDOWS_SANDBOX_H_
