#include "Clipboard.h"

#include <algorithm>
#include <memory>

namespace {

// The clipboard is open for as long as one of these lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard()
    {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

struct GlobalFreer {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using OwnedGlobal = std::unique_ptr<void, GlobalFreer>;

}  // namespace

bool PutTextOnClipboard(HWND owner, std::wstring_view text)
{
    OwnedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    if (!memory)
        return false;
    auto* characters = static_cast<wchar_t*>(GlobalLock(memory.get()));
    if (characters == nullptr)
        return false;
    *std::copy(text.begin(), text.end(), characters) = L'\0';
    GlobalUnlock(memory.get());
    const OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr)
        return false;
    // The clipboard owns the memory now.
    memory.release();
    return true;
}
