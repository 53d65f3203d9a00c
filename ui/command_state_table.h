// The check-mark states of the Options menu: one entry per option item and toggle, in a fixed
// order (the nine depth items, the twelve time items, then Sound, Auto Play, Show Territory,
// Interlinked Mode and Tournament Engine).
//
// Owned by the main frame and used on the user-interface thread only. The table, not the menu,
// is the record of what is checked: the frame pushes it into a menu whenever that menu opens,
// so the marks shown always match the options, whatever the menu items did by themselves.
#pragma once

#include <cstdint>
#include <vector>

namespace wintarvo {

class CommandStateTable {
  public:
    // Which kind of element an entry updates; this program has only pop-up menu items.
    enum class Kind : std::uint16_t { PopupMenuItem = 1 };

    struct Entry {
        std::uint16_t id;
        Kind kind;
        bool checked;
    };

    // Every entry unchecked.
    CommandStateTable();

    // An identifier that is not in the table changes nothing.
    void setCheck(int id, bool checked);
    // False for an identifier that is not in the table.
    bool isChecked(int id) const;
    const std::vector<Entry>& entries() const { return entries_; }

  private:
    std::vector<Entry> entries_;
};

}  // namespace wintarvo
