#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <initializer_list>
#include <vector>

namespace qm::calc {

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
