// The built-in English toolbar 128: command and caption string of each button.
#include "lang/english_parts.h"
#include "lang/resource_ids.h"

namespace lang {

void AddEnglishToolbar(ResourceSet& set) {
    set.toolbar = {
        {ids::kCmdAdd, ids::kStrAdd},
        {ids::kCmdRemove, ids::kStrRemove},
        {ids::kCmdRemoveAll, ids::kStrRemoveAll},
        {0, 0},
        {ids::kCmdMoveUp, ids::kStrMoveUp},
        {ids::kCmdMoveDown, ids::kStrMoveDown},
        {0, 0},
        {ids::kCmdPreview, ids::kStrPreview},
        {ids::kCmdConvert, ids::kStrConvert},
        {0, 0},
        {ids::kCmdExit, ids::kStrExit},
    };
}

} // namespace lang
