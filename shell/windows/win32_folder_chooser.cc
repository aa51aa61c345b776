// The folder chooser: the system's own dialog, picking folders.
#include <shobjidl.h>
#include <windows.h>

#include "platform/windows/system_path.h"
#include "platform/windows/wide_text.h"
#include "shell/window_front_end.h"

namespace trovane {
namespace {

// A reference to an object of the shell, let go when it goes.
template <typename Interface>
class Reference {
 public:
  Reference() = default;
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;
  ~Reference() {
    if (object_ != nullptr) object_->Release();
  }
  Interface* operator->() const { return object_; }
  Interface** Out() { return &object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  Interface* object_ = nullptr;
};

}  // namespace

std::optional<std::string> AskForRunFolder(const std::string& start) {
  // The dialog's objects live in a single-threaded apartment; one made
  // before is used as it is.
  const HRESULT apartment = CoInitializeEx(
      nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::optional<std::string> chosen;
  Reference<IFileOpenDialog> dialog;
  if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr,
                                 CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(dialog.Out())))) {
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM |
                       FOS_PATHMUSTEXIST);
    dialog->SetTitle(L"Choose the run folder");
    Reference<IShellItem> folder;
    if (SUCCEEDED(SHCreateItemFromParsingName(WideText(start).c_str(), nullptr,
                                              IID_PPV_ARGS(folder.Out())))) {
      dialog->SetFolder(folder.operator->());
    }
    Reference<IShellItem> result;
    wchar_t* path = nullptr;
    if (SUCCEEDED(dialog->Show(nullptr)) &&
        SUCCEEDED(dialog->GetResult(result.Out())) &&
        SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
      chosen = WithoutLongPrefix(AnsiText(path));
      CoTaskMemFree(path);
    }
  }
  if (SUCCEEDED(apartment)) CoUninitialize();
  return chosen;
}

}  // namespace trovane
