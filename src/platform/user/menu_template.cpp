#include "platform/user/menu_template.h"

#include <algorithm>
#include <cstring>

#include "platform/text/text.h"

namespace orvex {
namespace {

// Reads one template into the flat model. Items of the levels still open wait on one
// stack; a level that ends moves its items to the result in one piece.
class MenuTemplateParser {
 public:
  MenuTemplateParser(ByteReader& reader, MenuTemplate& out, MenuStoredForm* stored)
      : reader_(reader), out_(out), stored_(stored) {}

  Expected<void> Parse() {
    auto top = out_.extended ? ExtendedLevel(0) : ClassicLevel(0);
    if (!top) return top.GetError();
    return {};
  }

 private:
  static Error ItemError(const Error& error, size_t position) {
    return error.In("item " + std::to_string(position));
  }

  static Error TooDeep() {
    return Error{"menus nest deeper than " + std::to_string(kMaxMenuDepth)};
  }

  // Reads a field; on failure the error is the reader's own message for it.
  template <class T>
  Expected<void> Field(T& value) {
    if (reader_.TryRead(value)) return {};
    return reader_.Read<T>().GetError();
  }

  // The item's caption, converted to ANSI and kept in the template's text (and as stored,
  // when the stored form is wanted).
  Expected<void> ReadText(MenuTemplateItem& item, MenuStoredItem* stored) {
    Bytes text;
    if (!reader_.TryReadU16CStringBytes(text)) return reader_.ReadU16CString().GetError();
    if (stored != nullptr) {
      stored->text.resize(text.size() / 2);
      if (!text.empty()) std::memcpy(stored->text.data(), text.data(), text.size());
    }
    item.textOffset = static_cast<uint32_t>(out_.text.size());
    AppendUtf16LeToAnsi(out_.text, text);
    item.textLength = static_cast<uint32_t>(out_.text.size() - item.textOffset);
    item.hasText = !text.empty();
    return {};
  }

  // Moves the items of the level that began at `start` to the result; returns its index.
  int32_t EndLevel(size_t start) {
    MenuLevel level{static_cast<uint32_t>(out_.items.size()),
                    static_cast<uint32_t>(pending_.size() - start)};
    out_.items.insert(out_.items.end(), pending_.begin() + static_cast<ptrdiff_t>(start),
                      pending_.end());
    pending_.resize(start);
    out_.levels.push_back(level);
    return static_cast<int32_t>(out_.levels.size() - 1);
  }

  // MENUITEMTEMPLATE (classic), one per item, the level ending at the item flagged MF_END:
  //   WORD mtOption; WORD mtID (absent when mtOption has MF_POPUP); WCHAR mtString[];
  // A popup's submenu items follow its text directly.
  Expected<int32_t> ClassicLevel(int depth) {
    if (depth > kMaxMenuDepth) return TooDeep();
    const size_t start = pending_.size();
    for (;;) {
      const size_t position = pending_.size() - start + 1;
      uint16_t option = 0;
      if (auto read = Field(option); !read) return ItemError(read.GetError(), position);
      const bool last = (option & MF_END) != 0;
      // MF_END shares its value with MF_HILITE; it never reaches the item.
      const UINT flags = option & ~MF_END;
      const bool popup = (flags & MF_POPUP) != 0;
      MenuTemplateItem item;
      MenuStoredItem* stored = Store(depth);
      if (stored != nullptr) stored->flags = option;
      if (!popup) {
        uint16_t id = 0;
        if (auto read = Field(id); !read) return ItemError(read.GetError(), position);
        item.id = id;
        if (stored != nullptr) stored->id = id;
      }
      if (auto text = ReadText(item, stored); !text) return ItemError(text.GetError(), position);
      const bool emptyText = !item.hasText;
      item.hasText = true;
      item.type = flags & kMenuTypeMask;
      item.state = flags & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT);
      // An empty string item is how resource compilers write a separator; the platform
      // appends it without text, which makes it one.
      const bool stringItem = (flags & (MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR)) == 0;
      if (!popup && stringItem && emptyText) {
        item.type |= MFT_SEPARATOR;
        item.hasText = false;
      }
      // Separators appended this way are disabled as well (checked against Wine).
      if (item.type & MFT_SEPARATOR) item.state |= MFS_GRAYED;
      if (popup) {
        auto sub = ClassicLevel(depth + 1);
        if (!sub) return ItemError(sub.GetError(), position);
        item.subLevel = *sub;
      }
      pending_.push_back(item);
      if (last) return EndLevel(start);
    }
  }

  // MENUEX_TEMPLATE_ITEM (extended), aligned to 4 bytes:
  //   DWORD dwType; DWORD dwState; DWORD menuId; WORD bResInfo; WCHAR szText[];
  //   (pad to 4) and, when bResInfo has 0x01: DWORD dwHelpId; then the submenu's items.
  // bResInfo 0x80 marks the last item of a level.
  Expected<int32_t> ExtendedLevel(int depth) {
    if (depth > kMaxMenuDepth) return TooDeep();
    const size_t start = pending_.size();
    for (;;) {
      const size_t position = pending_.size() - start + 1;
      uint32_t type = 0, state = 0, id = 0;
      uint16_t resInfo = 0;
      if (auto read = Field(type); !read) return ItemError(read.GetError(), position);
      if (auto read = Field(state); !read) return ItemError(read.GetError(), position);
      if (auto read = Field(id); !read) return ItemError(read.GetError(), position);
      if (auto read = Field(resInfo); !read) return ItemError(read.GetError(), position);
      MenuTemplateItem item;
      MenuStoredItem* stored = Store(depth);
      if (stored != nullptr) *stored = MenuStoredItem{type, state, id, resInfo, 0, {}, depth};
      if (auto text = ReadText(item, stored); !text) return ItemError(text.GetError(), position);
      reader_.AlignTo(4);

      item.type = type & kMenuTypeMask;
      item.state = state & kMenuStateMask;
      item.id = id;
      if ((resInfo & 0x01) != 0) {
        uint32_t helpId = 0;
        if (auto read = Field(helpId); !read) return ItemError(read.GetError(), position);
        if (stored != nullptr) stored->helpId = helpId;
        auto sub = ExtendedLevel(depth + 1);
        if (!sub) return ItemError(sub.GetError(), position);
        item.subLevel = *sub;
      } else if (!item.hasText && (item.type & MFT_SEPARATOR) == 0) {
        // The platform turns an extended item without text into a separator too.
        item.type |= MFT_SEPARATOR;
      }
      pending_.push_back(item);
      if ((resInfo & 0x80) != 0) return EndLevel(start);
    }
  }

  // A new stored item when the stored form is wanted; valid until the next one.
  MenuStoredItem* Store(int depth) {
    if (stored_ == nullptr) return nullptr;
    stored_->items.emplace_back().depth = depth;
    return &stored_->items.back();
  }

  ByteReader& reader_;
  MenuTemplate& out_;
  MenuStoredForm* stored_;
  std::vector<MenuTemplateItem> pending_;
};

}  // namespace

Expected<MenuTemplate> ParseMenuTemplate(Bytes bytes, MenuStoredForm* stored) {
  ByteReader reader(bytes);
  // MENUITEMTEMPLATEHEADER / MENUEX_TEMPLATE_HEADER: WORD version; WORD offset; the first
  // item starts `offset` bytes after the header's 4 bytes (the extended header's DWORD
  // dwHelpId is counted in its offset).
  auto version = reader.Read<uint16_t>();
  if (!version) return version.GetError().In("menu header");
  auto offset = reader.Read<uint16_t>();
  if (!offset) return offset.GetError().In("menu header");
  if (*version > 1)
    return Error{"menu template version " + std::to_string(*version) + " is unknown"};
  if (auto skip = reader.Skip(*offset); !skip) return skip.GetError().In("menu header");
  if (stored != nullptr) {
    *stored = MenuStoredForm{*version, *offset, bytes.subspan(4, *offset), {}, reader.Position()};
  }

  MenuTemplate result;
  result.extended = *version == 1;
  // Resource compilers write a menu without items as the header alone.
  if (reader.AtEnd()) {
    result.levels.push_back(MenuLevel{});
    return result;
  }
  // Captions take at most half the bytes; items take 16 bytes or more in the usual
  // templates (the guess is capped: a huge template grows its array as it goes).
  result.text.reserve(reader.Remaining() / 2);
  result.items.reserve(std::min<size_t>(reader.Remaining() / 16, 1024));
  MenuTemplateParser parser(reader, result, stored);
  ORVEX_TRY(parser.Parse());
  if (stored != nullptr) stored->end = reader.Position();
  return result;
}

}  // namespace orvex
