// The thread's message queue for the backends without Win32 underneath (x11, headless): posted
// messages, the quit message, device input and WM_PAINT, read in the order Win32 reads them.
#pragma once

#include <cstddef>

#include "vantrel/platform/platform.h"

namespace vantrel::common {

// Milliseconds of the steady clock, the time stamp of queued messages.
LONGWORD now_ms();

// The thread's queues, read in the order Win32 reads them: messages posted with PostMessageA
// (and TranslateMessage's characters), then the quit message, then device input, then WM_PAINT
// for windows that need painting.
void post(const TMSG &msg);
// Device input (a key, a button, a mouse move from the backend's devices). A move for the
// window whose newest pending input is a move replaces that move; a key-down with the
// previous-state bit 30 set (an auto-repeat) adds to the repeat count of the same key's
// pending key-down when that is the newest input message. CHAR is the character the key gives
// under the user's layout, 0 for none, -1 to let the US layout decide in TranslateMessage.
void post_input(const TMSG &msg, int ch = -1);
// PeekMessageA on the queues. A WINDOW filter takes its children's messages too; the quit
// message comes through every filter.
bool peek(TMSG *msg, THANDLE window, LONGWORD first, LONGWORD last, LONGWORD remove);
// Whether the message the last peek found came from the devices (post_input).
bool peeked_input();
std::size_t queue_length(); // posted, quit and input messages waiting (not WM_PAINT)
// Whether virtual key VK was down as of the key messages taken from the input queue so far, as
// Win32's GetKeyState sees the keyboard.
bool key_held(TWPARAM vk);
// Virtual key VK is up from now on, though no key message said so.
void forget_key(TWPARAM vk);
// Drops every posted and input message for WINDOW (it is being destroyed).
void drop_messages(THANDLE window);
void clear_queue();

} // namespace vantrel::common
