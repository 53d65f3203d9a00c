#include "ui/command_state_table.h"

#include "ui/command_ids.h"
#include "ui/option_tables.h"

namespace wintarvo {

CommandStateTable::CommandStateTable() {
    for (const OptionItem& item : DEPTH_OPTIONS)
        entries_.push_back({static_cast<std::uint16_t>(item.id), Kind::PopupMenuItem, false});
    for (const OptionItem& item : TIME_OPTIONS)
        entries_.push_back({static_cast<std::uint16_t>(item.id), Kind::PopupMenuItem, false});
    for (int id : {ID_SOUND, ID_AUTO_PLAY, ID_SHOW_TERRITORY, ID_INTERLINKED, ID_TOURNAMENT_ENGINE})
        entries_.push_back({static_cast<std::uint16_t>(id), Kind::PopupMenuItem, false});
}

void CommandStateTable::setCheck(int id, bool checked) {
    for (Entry& e : entries_) {
        if (e.id == id) {
            e.checked = checked;
            return;
        }
    }
}

bool CommandStateTable::isChecked(int id) const {
    for (const Entry& e : entries_)
        if (e.id == id) return e.checked;
    return false;
}

}  // namespace wintarvo
