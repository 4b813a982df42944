// Terminal input bytes -> the key messages a Windows keyboard would give.
#pragma once
#include <string_view>
#include <vector>

#include "platform/os/messages.h"

namespace platform {

// Decodes the keys in bytes into messages (WM_KEYDOWN / WM_SYSKEYDOWN with
// the virtual key in wParam, WM_CHAR with the Windows-1252 character,
// WM_SETFOCUS / WM_KILLFOCUS from focus reports) and returns how many bytes
// were used. Unless atEnd, an incomplete sequence at the end (a lone ESC,
// half a CSI, half a UTF-8 character) is left for more bytes to complete;
// with atEnd a lone ESC is the Escape key. lineFeedIsEnter makes byte 10
// the Enter key (piped input) instead of Ctrl+Enter. erase is the
// terminal's erase character (VERASE; 0 when unknown): where it is 127,
// byte 8 is Ctrl+Backspace, as most terminals send it; else Backspace.
size_t DecodeKeys(std::string_view bytes, bool atEnd, std::vector<Message>& out,
                  bool lineFeedIsEnter = false, unsigned char erase = 0);

// Whether what a read left undecoded is complete as it stands: a terminal
// sends a whole sequence in one write, so Escapes alone at the end of a
// read are Escape keys, at once, not the start of a sequence to wait for.
bool CompleteAtEndOfRead(std::string_view rest);

void PostKeyEvents(const std::vector<Message>& events);

}  // namespace platform
