#include "support/ui_text.h"

#include "support/ui_table_data.h"

namespace tonvale {

bool uiTableData(int languageId, const wchar_t*& data, size_t& length) {
    return compiledUiTable(languageId, data, length);
}

// Tools and tests without a user language setting read English.
int chooseLanguage() {
    loadTable(kEnglishTable);
    return kEnglishTable;
}

} // namespace tonvale
