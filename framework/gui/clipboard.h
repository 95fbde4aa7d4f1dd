// TClipboard: the system clipboard. Opening retries briefly, because
// another program (or, under Wine, the X clipboard bridge) may hold it for
// a moment.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class TClipboard {
public:
    // Nested opens and closes pair up; Open throws EInvalidOperation when
    // the clipboard stays busy.
    void Open();
    void Close();
    bool HasFormat(UINT format) const;
    // CF_UNICODETEXT (the system makes it from CF_TEXT when needed); empty
    // when there is no text.
    std::wstring AsText();
    // Empties the clipboard and puts the text there.
    void SetAsText(const std::wstring& text);
    void Clear();

private:
    int open_count_ = 0;
};

// The process's clipboard object.
TClipboard& Clipboard();

}  // namespace fw
