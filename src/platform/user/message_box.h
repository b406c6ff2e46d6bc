// Message boxes through one process-wide, replaceable handler. The library's boxes are
// modal questions with fixed answers; the handler decides how they reach a person (the
// command line prints them, tests script them).
#pragma once

#include <functional>
#include <string>

#include "platform/win32_types.h"

namespace orvex {

// Buttons (low 4 bits of the style).
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x6;
inline constexpr UINT MB_TYPEMASK = 0xF;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0xF0;
// Default button.
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFBUTTON4 = 0x300;
inline constexpr UINT MB_DEFMASK = 0xF00;
// Modality.
inline constexpr UINT MB_APPLMODAL = 0x0000;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_TASKMODAL = 0x2000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

struct MessageBoxCall {
  HWND owner = 0;
  std::string text;     // ANSI, as passed (empty for null)
  std::string caption;  // ANSI, as passed ("Error" for null, as the platform shows it)
  UINT style = 0;

  bool operator==(const MessageBoxCall&) const = default;
};

using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;

// Shows a box through the current handler and returns its answer. Safe to call from
// several threads; the handler runs outside the lock, so handlers must be thread-safe
// themselves if boxes can come from several threads at once.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

// Installs `handler` (null restores the default) and returns the one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer of the button that has the focus when the box opens: the MB_DEFBUTTONn-th
// button of the style's set, or the first one when the style names a button it lacks.
int DefaultMessageBoxAnswer(UINT style);

// The default handler: prints caption and text to stderr and returns the default answer.
int PrintMessageBoxToStderr(const MessageBoxCall& call);

}  // namespace orvex
