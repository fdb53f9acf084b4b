// The keyword tables of syntax names, access names and list item types, as option lists
// (value = code, label = keyword). Built once, on first use.
#pragma once

class KtOptionList;

namespace KtKeywords {

// "boolean" 1 ... "displaystr" 76, "bool8" 193 ... "uint16" 198
const KtOptionList &SyntaxNames();
const KtOptionList &AccessNames();   // "notaccess" 1 ... "invalid" 32
const KtOptionList &ListTypeNames(); // "SVT_SV" 0 ... "MVT_UMV" 3

} // namespace KtKeywords
