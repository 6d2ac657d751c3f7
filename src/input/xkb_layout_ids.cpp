#include "input/keyboard_backends.h"

#include <string_view>

namespace qm {

namespace {

struct LayoutId {
    std::u16string_view layout;
    std::u16string_view variant;  // empty: the layout's standard variant
    std::u16string_view id;
};

// Variants first: they are looked up before their layout's standard entry.
constexpr LayoutId kLayoutIds[] = {
    {u"us", u"dvorak", u"00010409"},   {u"us", u"intl", u"00020409"},    {u"ru", u"typewriter", u"00010419"},
    {u"ru", u"phonetic", u"00020419"}, {u"ua", u"winkeys", u"00020422"},

    {u"us", u"", u"00000409"},         {u"ru", u"", u"00000419"},        {u"ua", u"", u"00000422"},
    {u"by", u"", u"00000423"},         {u"kz", u"", u"0000043F"},        {u"gb", u"", u"00000809"},
    {u"de", u"", u"00000407"},         {u"at", u"", u"00000407"},        {u"ch", u"", u"00000807"},
    {u"fr", u"", u"0000040C"},         {u"be", u"", u"0000080C"},        {u"it", u"", u"00000410"},
    {u"es", u"", u"0000040A"},         {u"latam", u"", u"0000080A"},     {u"pt", u"", u"00000816"},
    {u"br", u"", u"00000416"},         {u"nl", u"", u"00000413"},        {u"pl", u"", u"00000415"},
    {u"cz", u"", u"00000405"},         {u"sk", u"", u"0000041B"},        {u"hu", u"", u"0000040E"},
    {u"ro", u"", u"00000418"},         {u"bg", u"", u"00000402"},        {u"rs", u"", u"00000C1A"},
    {u"ee", u"", u"00000425"},         {u"lv", u"", u"00000426"},        {u"lt", u"", u"00000427"},
    {u"fi", u"", u"0000040B"},         {u"se", u"", u"0000041D"},        {u"no", u"", u"00000414"},
    {u"dk", u"", u"00000406"},         {u"tr", u"", u"0000041F"},        {u"gr", u"", u"00000408"},
    {u"il", u"", u"0000040D"},         {u"am", u"", u"0000042B"},        {u"ge", u"", u"00000437"},
    {u"az", u"", u"0000042C"},         {u"uz", u"", u"00000843"},        {u"tj", u"", u"00000428"},
    {u"kg", u"", u"00000440"},         {u"mn", u"", u"00000450"},        {u"jp", u"", u"00000411"},
    {u"kr", u"", u"00000412"},         {u"cn", u"", u"00000804"},        {u"ca", u"", u"00001009"},
};

QStringView view(std::u16string_view text)
{
    return QStringView(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString windowsLayoutIdOfXkb(QStringView layout, QStringView variant)
{
    const QStringView name = layout.trimmed();
    const QStringView kind = variant.trimmed();
    for (const LayoutId &entry : kLayoutIds) {
        if (view(entry.layout) == name && (entry.variant.empty() || view(entry.variant) == kind))
            return view(entry.id).toString();
    }
    return {};
}

}  // namespace qm
