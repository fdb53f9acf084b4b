#include "ktkeywords.h"

#include "ktoptionlist.h"
#include "ktsnmpvaritem.h"

namespace {

const KtOption kSyntaxNames[] = {
    {SYN_BOOLEAN, nullptr, "boolean"},     {SYN_INTEGER, nullptr, "integer"},
    {SYN_BITSTR, nullptr, "bitstr"},       {SYN_OCTETSTR, nullptr, "octetstr"},
    {SYN_NULL, nullptr, "null"},           {SYN_OBJECTID, nullptr, "objectid"},
    {SYN_IPADDRESS, nullptr, "ipaddress"}, {SYN_COUNTER, nullptr, "counter"},
    {SYN_GUAGE, nullptr, "guage"},         {SYN_TIMETICKS, nullptr, "timeticks"},
    {SYN_OPAQUE, nullptr, "opaque"},       {SYN_NSAPADDR, nullptr, "nsapaddr"},
    {SYN_COUNTER64, nullptr, "counter64"}, {SYN_UINTEGER, nullptr, "uinteger"},
    {SYN_DOUBLE, nullptr, "double"},       {SYN_MACADDRESS, nullptr, "macaddress"},
    {SYN_DATETIME, nullptr, "datetime"},   {SYN_BCDATETIME, nullptr, "bcdatetime"},
    {SYN_DISPLAYSTR, nullptr, "displaystr"}, {SYN_BOOL8, nullptr, "bool8"},
    {SYN_INT8, nullptr, "int8"},           {SYN_UINT8, nullptr, "uint8"},
    {SYN_BOOL16, nullptr, "bool16"},       {SYN_INT16, nullptr, "int16"},
    {SYN_UINT16, nullptr, "uint16"},       {0, nullptr, nullptr},
};

const KtOption kAccessNames[] = {
    {ACC_NOTACCESS, nullptr, "notaccess"}, {ACC_READONLY, nullptr, "readonly"},
    {ACC_WRITEONLY, nullptr, "writeonly"}, {ACC_READWRITE, nullptr, "readwrite"},
    {ACC_DERIVED, nullptr, "derived"},     {ACC_HIDDEN, nullptr, "hidden"},
    {ACC_INVALID, nullptr, "invalid"},     {0, nullptr, nullptr},
};

const KtOption kListTypeNames[] = {
    {SVT_SV, nullptr, "SVT_SV"},   {MVT_SV, nullptr, "MVT_SV"}, {MVT_FMV, nullptr, "MVT_FMV"},
    {MVT_UMV, nullptr, "MVT_UMV"}, {0, nullptr, nullptr},
};

} // namespace

namespace KtKeywords {

const KtOptionList &SyntaxNames()
{
    static const KtOptionList list(kSyntaxNames, KtOptionList::Numeric);
    return list;
}

const KtOptionList &AccessNames()
{
    static const KtOptionList list(kAccessNames, KtOptionList::Numeric);
    return list;
}

const KtOptionList &ListTypeNames()
{
    static const KtOptionList list(kListTypeNames, KtOptionList::Numeric);
    return list;
}

} // namespace KtKeywords
