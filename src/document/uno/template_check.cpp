#include "document/uno/template_check.h"

#include "document/uno/uno_values.h"

#include <QFile>
#include <QFileInfo>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/Sequence.hxx>

using namespace Qt::StringLiterals;
using css::uno::Reference;
using css::uno::Sequence;

namespace qm::calc {

namespace {

const rtl::OUString spreadsheetService = rtl::OUString("com.sun.star.sheet.SpreadsheetDocument");

// Plain text and web pages are imported into Calc too, but neither is a workbook
// a template could have been saved as.
bool isTextImport(const rtl::OUString &filter)
{
    return filter.startsWith("Text - txt - csv") || filter.indexOf("HTML") >= 0 || filter.indexOf("Web") >= 0;
}

rtl::OUString stringProperty(const Sequence<css::beans::PropertyValue> &properties, const rtl::OUString &name)
{
    for (const css::beans::PropertyValue &property : properties) {
        rtl::OUString value;
        if (property.Name == name && (property.Value >>= value))
            return value;
    }
    return {};
}

Reference<css::uno::XInterface> createService(OfficeSession &session, const rtl::OUString &name)
{
    const auto &context = session.connection().context;
    return context->getServiceManager()->createInstanceWithContext(name, context);
}

Failure notAWorkbook(const QString &path)
{
    return Failure(FailureCode::ApplicationDefined,
                   u"Файл шаблона %1 не является книгой электронной таблицы"_s.arg(path));
}

}  // namespace

void requireReadableTemplate(const QString &templatePath)
{
    const QFileInfo info(templatePath);
    if (templatePath.isEmpty() || !info.exists())
        throw Failure(FailureCode::TemplatePathInvalid, u"Файл шаблона %1 не найден"_s.arg(templatePath));
    if (!info.isFile())
        throw Failure(FailureCode::TemplatePathInvalid, u"Путь к шаблону %1 указывает не на файл"_s.arg(templatePath));
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(FailureCode::TemplatePathInvalid, u"Файл шаблона %1 недоступен для чтения"_s.arg(templatePath),
                      file.errorString());
    if (file.size() == 0)
        throw Failure(FailureCode::ApplicationDefined, u"Файл шаблона %1 пуст"_s.arg(templatePath));
}

rtl::OUString spreadsheetFilterFor(OfficeSession &session, const QString &templatePath, const rtl::OUString &url)
{
    const QString action = u"определить формат шаблона %1"_s.arg(templatePath);
    return session.run(action, [&] {
        const Reference<css::document::XTypeDetection> detection(
            createService(session, rtl::OUString("com.sun.star.document.TypeDetection")), css::uno::UNO_QUERY_THROW);
        Sequence<css::beans::PropertyValue> descriptor = properties({property("URL", css::uno::Any(url))});
        const rtl::OUString type = detection->queryTypeByDescriptor(descriptor, true);
        if (type.isEmpty())
            throw notAWorkbook(templatePath);

        const Reference<css::container::XNameAccess> types(detection, css::uno::UNO_QUERY_THROW);
        Sequence<css::beans::PropertyValue> typeProperties;
        types->getByName(type) >>= typeProperties;
        rtl::OUString filter = stringProperty(descriptor, rtl::OUString("FilterName"));
        if (filter.isEmpty())
            filter = stringProperty(typeProperties, rtl::OUString("PreferredFilter"));
        if (filter.isEmpty() || isTextImport(filter))
            throw notAWorkbook(templatePath);

        const Reference<css::container::XNameAccess> filters(
            createService(session, rtl::OUString("com.sun.star.document.FilterFactory")), css::uno::UNO_QUERY_THROW);
        Sequence<css::beans::PropertyValue> filterProperties;
        filters->getByName(filter) >>= filterProperties;
        if (stringProperty(filterProperties, rtl::OUString("DocumentService")) != spreadsheetService)
            throw notAWorkbook(templatePath);
        return filter;
    });
}

}  // namespace qm::calc
