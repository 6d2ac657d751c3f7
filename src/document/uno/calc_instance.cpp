#include "document/uno/calc_instance.h"

#include "document/uno/calc_sheet.h"
#include "document/uno/template_check.h"
#include "document/uno/uno_values.h"
#include "document/uno/xls_active_sheet.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/XViewDataSupplier.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XPrintable.hpp>

#include <limits>
#include <mutex>
#include <utility>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;

namespace qm::calc {

// What the template's file says about itself: found by asking the office to
// look into the file (a dozen calls) and by reading it, and the same until
// the file changes. Kept for the process, so that an office started ahead
// that has seen the template passes it on to the first act.
struct CalcInstance::TemplateFacts {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;
    rtl::OUString filter;
    std::optional<int> excelActiveIndex;

    bool isOf(const TemplateFacts &file) const
    {
        return path == file.path && device == file.device && inode == file.inode && size == file.size
            && modifiedNs == file.modifiedNs;
    }
};

namespace {

rtl::OUString fileUrl(const QString &path)
{
    return toOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
}

// The name of the sheet that was active when the document was saved. The
// controller of a hidden document always reports the first sheet, while the
// printout and the window, once shown, use the saved one: only the saved view
// settings tell which it is.
rtl::OUString savedActiveSheetName(const Reference<css::sheet::XSpreadsheetDocument> &workbook)
{
    const Reference<css::document::XViewDataSupplier> supplier(workbook, css::uno::UNO_QUERY);
    if (!supplier.is())
        return {};
    const Reference<css::container::XIndexAccess> views = supplier->getViewData();
    if (!views.is() || views->getCount() == 0)
        return {};
    Sequence<css::beans::PropertyValue> settings;
    views->getByIndex(0) >>= settings;
    for (const css::beans::PropertyValue &setting : std::as_const(settings)) {
        rtl::OUString name;
        if (setting.Name == "ActiveTable" && (setting.Value >>= name))
            return name;
    }
    return {};
}

std::optional<int> excelSavedActiveIndex(const QString &templatePath, const rtl::OUString &filter)
{
    if (!filter.startsWith("MS Excel 97") && !filter.startsWith("MS Excel 95") && !filter.startsWith("MS Excel 5.0"))
        return std::nullopt;
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return xlsActiveSheetIndex(file.readAll());
}

// The file's identity: replaced, rewritten or touched, it is another file.
CalcInstance::TemplateFacts identityOf(const QString &templatePath)
{
    CalcInstance::TemplateFacts file;
    file.path = QFileInfo(templatePath).absoluteFilePath();
    struct stat status {};
    if (::stat(QFile::encodeName(file.path).constData(), &status) == 0) {
        file.device = status.st_dev;
        file.inode = status.st_ino;
        file.size = status.st_size;
        file.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    }
    return file;
}

std::mutex knownTemplateLock;
std::optional<CalcInstance::TemplateFacts> knownTemplate;

}  // namespace

CalcInstance::TemplateFacts CalcInstance::templateFacts(const QString &templatePath, const rtl::OUString &url)
{
    const TemplateFacts file = identityOf(templatePath);
    {
        const std::lock_guard<std::mutex> lock(knownTemplateLock);
        if (knownTemplate && knownTemplate->isOf(file))
            return *knownTemplate;
    }
    TemplateFacts facts = file;
    facts.filter = spreadsheetFilterFor(*session_, templatePath, url);
    facts.excelActiveIndex = excelSavedActiveIndex(templatePath, facts.filter);
    // Changed while it was being looked at: not kept, the next act looks again.
    if (identityOf(templatePath).isOf(file)) {
        const std::lock_guard<std::mutex> lock(knownTemplateLock);
        knownTemplate = facts;
    }
    return facts;
}

CalcInstance::CalcInstance(std::shared_ptr<OfficeSession> session, QString printToFile)
    : session_(std::move(session)), printToFile_(std::move(printToFile))
{
}

CalcInstance::CalcInstance(OfficeConnection connection, QString printToFile)
    : CalcInstance(std::make_shared<OfficeSession>(std::move(connection)), std::move(printToFile))
{
}

bool CalcInstance::isAlive() const
{
    return session_->isAlive();
}

void CalcInstance::setSheetsInNewWorkbook(int count)
{
    // Calc has no such option for documents made from a template (the template
    // brings its own sheets), and the option asked for here only ever concerns
    // blank workbooks, which this program never makes. What is kept is the check
    // that the office is still there, as any operation on it would.
    session_->run(u"задать число листов новой книги (%1)"_s.arg(count), [] {});
}

void CalcInstance::addWorkbookFromTemplate(const QString &templatePath)
{
    requireReadableTemplate(templatePath);
    const rtl::OUString url = fileUrl(templatePath);
    const TemplateFacts facts = templateFacts(templatePath, url);
    const rtl::OUString &filter = facts.filter;
    const QString action = u"создать книгу по шаблону %1"_s.arg(templatePath);
    const std::optional<int> excelActiveIndex = facts.excelActiveIndex;
    workbook_ = session_->run(action, [&] {
        // As a template: the office makes a new untitled document of it and never
        // opens the file itself for editing.
        const Sequence<css::beans::PropertyValue> arguments = properties({
            property("AsTemplate", Any(true)),
            property("Hidden", Any(true)),
            property("FilterName", Any(filter)),
            property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
        });
        const Reference<css::lang::XComponent> component
            = session_->connection().desktop->loadComponentFromURL(url, rtl::OUString("_blank"), 0, arguments);
        const Reference<css::sheet::XSpreadsheetDocument> workbook(component, css::uno::UNO_QUERY);
        if (!workbook.is()) {
            if (const Reference<css::util::XCloseable> closeable{component, css::uno::UNO_QUERY}; closeable.is())
                closeable->close(true);
            throw Failure(FailureCode::ApplicationDefined,
                          u"Файл шаблона %1 не открывается как книга электронной таблицы"_s.arg(templatePath));
        }
        return workbook;
    });
    workbooks_.push_back(workbook_);
    savedActiveIndex_ = excelActiveIndex;
}

const Reference<css::sheet::XSpreadsheetDocument> &CalcInstance::requireWorkbook(const QString &action) const
{
    if (!workbook_.is())
        throw Failure(FailureCode::ApplicationDefined, u"Нет открытой книги: невозможно %1"_s.arg(action));
    return workbook_;
}

Reference<css::sheet::XSpreadsheet> CalcInstance::savedActiveSheet() const
{
    const Reference<css::sheet::XSpreadsheets> sheets = workbook_->getSheets();
    const rtl::OUString name = savedActiveSheetName(workbook_);
    if (!name.isEmpty() && sheets->hasByName(name))
        return Reference<css::sheet::XSpreadsheet>(sheets->getByName(name), css::uno::UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> byIndex(sheets, css::uno::UNO_QUERY_THROW);
    const sal_Int32 count = byIndex->getCount();
    if (count == 0)
        throw Failure(FailureCode::ApplicationDefined, u"В книге нет ни одного листа"_s);
    const sal_Int32 index = savedActiveIndex_.value_or(0) < count ? savedActiveIndex_.value_or(0) : 0;
    return Reference<css::sheet::XSpreadsheet>(byIndex->getByIndex(index), css::uno::UNO_QUERY_THROW);
}

std::unique_ptr<SpreadsheetSheet> CalcInstance::activeSheet()
{
    const QString action = u"взять активный лист книги"_s;
    requireWorkbook(action);
    Reference<css::sheet::XSpreadsheet> sheet = session_->run(action, [&] { return savedActiveSheet(); });
    return std::make_unique<CalcSheet>(session_, std::move(sheet));
}

void CalcInstance::printActiveWorkbook(int copies)
{
    const QString action = u"напечатать книгу"_s;
    // The office prints one copy for 0 and nothing at all for a negative count,
    // and reports success either way.
    if (copies < 1 || copies > std::numeric_limits<sal_Int16>::max())
        throw Failure(FailureCode::ApplicationDefined,
                      u"Число копий для печати должно быть не меньше 1 и не больше %1 (задано: %2)"_s
                          .arg(std::numeric_limits<sal_Int16>::max())
                          .arg(copies));
    requireWorkbook(action);
    session_->run(action, [&] {
        std::vector<css::beans::PropertyValue> options{
            property("CopyCount", Any(static_cast<sal_Int16>(copies))),
            property("Wait", Any(true)),
        };
        if (!printToFile_.isEmpty())
            options.push_back(property("FileName", Any(fileUrl(printToFile_))));
        const Reference<css::view::XPrintable> printable(workbook_, css::uno::UNO_QUERY_THROW);
        printable->print(properties(options));
    });
}

void CalcInstance::setVisible(bool visible)
{
    const QString action = visible ? u"показать книгу"_s : u"скрыть книгу"_s;
    session_->run(action, [&] {
        // The active workbook last, so that it ends up in front.
        for (const Reference<css::sheet::XSpreadsheetDocument> &workbook : workbooks_) {
            const Reference<css::frame::XModel> model(workbook, css::uno::UNO_QUERY_THROW);
            const Reference<css::awt::XWindow> window = model->getCurrentController()->getFrame()->getContainerWindow();
            window->setVisible(visible);
            if (visible)
                if (const Reference<css::awt::XTopWindow> top{window, css::uno::UNO_QUERY}; top.is())
                    top->toFront();
        }
    });
    shown_ = visible;
}

void CalcInstance::exportActiveWorkbookAsPdf(const QString &pdfPath)
{
    const QString action = u"сохранить копию акта в PDF %1"_s.arg(pdfPath);
    requireWorkbook(action);
    session_->run(action, [&] {
        const Reference<css::frame::XStorable> storable(workbook_, css::uno::UNO_QUERY_THROW);
        storable->storeToURL(fileUrl(pdfPath),
                             properties({
                                 property("FilterName", Any(rtl::OUString("calc_pdf_Export"))),
                                 property("Overwrite", Any(true)),
                             }));
    });
}

void CalcInstance::closeUnshownWorkbooks() noexcept
{
    if (shown_ || !session_->isAlive())
        return;
    for (const Reference<css::sheet::XSpreadsheetDocument> &workbook : workbooks_) {
        try {
            if (const Reference<css::util::XCloseable> closeable{workbook, css::uno::UNO_QUERY}; closeable.is())
                closeable->close(true);
        } catch (const css::uno::Exception &) {
            // Gone with its office, or refused: nothing more can be done from here.
        }
    }
    workbooks_.clear();
    workbook_.clear();
}

}  // namespace qm::calc
