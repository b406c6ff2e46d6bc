#include "platform/user/dialog_template.h"

namespace orvex {
namespace {

// The smallest item: DWORD-aligned header of 18 (classic) or 24 (extended) bytes and three
// one-WORD fields (class, title, creation data size).
constexpr size_t kMinClassicItem = 18 + 6;
constexpr size_t kMinExtendedItem = 24 + 6;

Error Truncated(const ByteReader& reader) {
  return Error{"dialog template runs past the end at offset " + std::to_string(reader.Position())};
}

// Moves a result's value into `out`, or its error into `error`.
template <class T>
bool Take(Expected<T> result, T& out, Error& error) {
  if (!result) {
    error = result.GetError();
    return false;
  }
  out = std::move(*result);
  return true;
}

Expected<DialogName> ReadName(ByteReader& reader) {
  DialogName name;
  Error error;
  WORD first{};
  if (!Take(reader.ReadAt<WORD>(reader.Position()), first, error)) return error;
  if (first == 0xFFFF) {
    if (!reader.Skip(2)) return Truncated(reader);
    if (!reader.TryRead(name.ordinal)) return Truncated(reader);
    name.isOrdinal = true;
    return name;
  }
  if (!Take(reader.ReadU16CString(), name.text, error)) return error;
  return name;
}

Expected<DialogItem> ReadItem(ByteReader& reader, bool extended) {
  reader.AlignTo(4);
  DialogItem item;
  Error error;
  if (extended) {
    if (!reader.TryRead(item.helpId)) return Truncated(reader);
    if (!reader.TryRead(item.exStyle)) return Truncated(reader);
    if (!reader.TryRead(item.style)) return Truncated(reader);
  } else {
    if (!reader.TryRead(item.style)) return Truncated(reader);
    if (!reader.TryRead(item.exStyle)) return Truncated(reader);
  }
  if (!reader.TryRead(item.x)) return Truncated(reader);
  if (!reader.TryRead(item.y)) return Truncated(reader);
  if (!reader.TryRead(item.cx)) return Truncated(reader);
  if (!reader.TryRead(item.cy)) return Truncated(reader);
  if (extended) {
    if (!reader.TryRead(item.id)) return Truncated(reader);
  } else {
    WORD id{};
    if (!reader.TryRead(id)) return Truncated(reader);
    item.id = id;
  }
  if (!Take(ReadName(reader), item.windowClass, error)) return error;
  if (!Take(ReadName(reader), item.title, error)) return error;
  // The size WORD does not count itself: the platform skips it and then that many bytes.
  if (!reader.TryRead(item.creationDataSize)) return Truncated(reader);
  if (item.creationDataSize != 0) ORVEX_TRY(reader.Skip(item.creationDataSize));
  return item;
}

}  // namespace

const char16_t* PredefinedDialogClass(WORD ordinal) {
  static const char16_t* const kNames[] = {u"Button",  u"Edit",      u"Static",
                                           u"ListBox", u"ScrollBar", u"ComboBox"};
  if (ordinal < 0x80 || ordinal > 0x85) return u"";
  return kNames[ordinal - 0x80];
}

Expected<DialogTemplate> ParseDialogTemplate(Bytes data) {
  ByteReader reader(data);
  DialogTemplate dialog;
  Error error;
  WORD version{};
  if (!Take(reader.ReadAt<WORD>(0), version, error)) return error;
  WORD signature{};
  if (!Take(reader.ReadAt<WORD>(2), signature, error)) return error;
  dialog.extended = version == 1 && signature == 0xFFFF;
  if (dialog.extended) {
    ORVEX_TRY(reader.Skip(4));
    if (!reader.TryRead(dialog.helpId)) return Truncated(reader);
    if (!reader.TryRead(dialog.exStyle)) return Truncated(reader);
    if (!reader.TryRead(dialog.style)) return Truncated(reader);
  } else {
    if (!reader.TryRead(dialog.style)) return Truncated(reader);
    if (!reader.TryRead(dialog.exStyle)) return Truncated(reader);
  }
  WORD count{};
  if (!reader.TryRead(count)) return Truncated(reader);
  if (!reader.TryRead(dialog.x)) return Truncated(reader);
  if (!reader.TryRead(dialog.y)) return Truncated(reader);
  if (!reader.TryRead(dialog.cx)) return Truncated(reader);
  if (!reader.TryRead(dialog.cy)) return Truncated(reader);
  if (!Take(ReadName(reader), dialog.menu, error)) return error;
  if (!Take(ReadName(reader), dialog.windowClass, error)) return error;
  if (!Take(ReadName(reader), dialog.title, error)) return error;
  if (dialog.style & DS_SETFONT) {
    dialog.hasFont = true;
    if (!reader.TryRead(dialog.font.pointSize)) return Truncated(reader);
    if (dialog.extended) {
      if (!reader.TryRead(dialog.font.weight)) return Truncated(reader);
      if (!reader.TryRead(dialog.font.italic)) return Truncated(reader);
      if (!reader.TryRead(dialog.font.charset)) return Truncated(reader);
    }
    if (!Take(reader.ReadU16CString(), dialog.font.face, error)) return error;
  }
  const size_t minItem = dialog.extended ? kMinExtendedItem : kMinClassicItem;
  if (count > reader.Remaining() / minItem + 1)
    return Error{"dialog template claims " + std::to_string(count) + " items it cannot hold"};
  dialog.items.reserve(count);
  for (WORD i = 0; i < count; ++i) {
    DialogItem item{};
    if (!Take(ReadItem(reader, dialog.extended), item, error)) return error;
    dialog.items.push_back(std::move(item));
  }
  return dialog;
}

}  // namespace orvex
