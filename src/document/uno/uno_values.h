#pragma once

#include <QString>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <vector>

// The values that cross the UNO bridge: texts, and the property lists the
// office API takes its arguments in.

namespace qm::calc {

// Both sides are UTF-16, so the text crosses unchanged.
inline rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), static_cast<sal_Int32>(text.size()));
}

inline QString toQString(const rtl::OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

inline css::beans::PropertyValue property(const char *name, const css::uno::Any &value)
{
    return css::beans::PropertyValue(rtl::OUString::createFromAscii(name), 0, value,
                                     css::beans::PropertyState_DIRECT_VALUE);
}

// The argument lists of the office API; the SDK's own list constructor is
// reserved for the office's internal code.
inline css::uno::Sequence<css::beans::PropertyValue> properties(const std::vector<css::beans::PropertyValue> &values)
{
    return css::uno::Sequence<css::beans::PropertyValue>(values.data(), static_cast<sal_Int32>(values.size()));
}

}  // namespace qm::calc
