// The host kit: stand-ins for a script host's form controls over the platform's windows, so
// the members that drive a host's controls have real controls to drive. A library of its own
// (liborvex10host.so, orvex10host.dll) with its own ProgIDs; hosts that link it call
// RegisterHostKitClasses().
//
//   Orvex10Host.Form   a top-level window. Members: hwnd; width, height (twips, read and
//                      write); Caption; AddPictureBox() and AddTextBox(), which create a
//                      control in the form's client area and return it.
//   PictureBox         (made by AddPictureBox) hwnd; Move(Left, [Top], [Width], [Height]) in
//                      the form's twips, any numeric arguments; width, height (outer size in
//                      twips, read and write); ScaleX/ScaleY(value, [from], [to]) with the
//                      scale modes 0/1 twips, 2 points, 3 pixels, 4 characters, 5 inches,
//                      6 millimetres, 7 centimetres, 8 HiMetric; PaintPicture(picture, X, Y,
//                      [Width], [Height]); CurrentX, CurrentY; Print(text): one line at the
//                      print position, each CR LF in the text starting a further line;
//                      ScaleMode (1, twips); BorderStyle (0, none; 1, a single line); Cls.
//                      Drawing is kept and repainted on WM_PAINT (each change asks for a
//                      repaint), so captures and real screens show it.
//   TextBox            (made by AddTextBox) hwnd; Text.
#pragma once

#include <span>

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"

namespace orvex {

inline constexpr GUID LIBID_Orvex10Host = MakeGuid("{7C2D4E60-91A3-4B58-9E21-3F6A0B8C4D00}");

std::span<const ClassInfo* const> HostKitClasses();
const ServerDescription& HostKitServer();
void RegisterHostKitClasses();

}  // namespace orvex
