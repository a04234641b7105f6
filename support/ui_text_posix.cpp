#include "support/ui_text.h"

#include "support/ui_table_data.h"

namespace tonvale {

// A program that links no compiled-in tables has none: every text is empty.
__attribute__((weak)) bool compiledUiTable(int, const wchar_t*&, size_t&) {
    return false;
}

bool uiTableData(int languageId, const wchar_t*& data, size_t& length) {
    return compiledUiTable(languageId, data, length);
}

// Tools and tests without a user language setting read English.
int chooseLanguage() {
    loadTable(kEnglishTable);
    return kEnglishTable;
}

} // namespace tonvale
