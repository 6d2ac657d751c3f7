#include "fuzz_table_file.h"

#include "archive/archive_table.h"
#include "common/failure.h"
#include "fuzz_check.h"

#include <QDate>
#include <QFile>
#include <QVariant>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace qm::fuzz {
namespace {

QString makeFolder()
{
    for (const char *base : {"/dev/shm", "/tmp"}) {
        QByteArray pattern = QByteArray(base) + "/qm-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            return QFile::decodeName(pattern);
    }
    fail("cannot create a temporary folder");
}

}  // namespace

FuzzTableFile::FuzzTableFile() : folder_(makeFolder()), path_(folder_ + u"/QM.dbf"_s) {}

FuzzTableFile::~FuzzTableFile()
{
    ::unlink(QFile::encodeName(path_).constData());
    ::rmdir(QFile::encodeName(folder_).constData());
}

void FuzzTableFile::write(QByteArrayView bytes) const
{
    const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(fd >= 0, "cannot create the table file", path_);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        check(n > 0, "cannot write the table file", path_);
        done += n;
    }
    ::close(fd);
}

QByteArray FuzzTableFile::read() const
{
    QFile file(path_);
    check(file.open(QIODevice::ReadOnly), "cannot read the table file back", path_);
    return file.readAll();
}

std::vector<DbfField> declaredFields(const QByteArray &tableBytes, const QString &path)
{
    try {
        return parseDbfHeader(tableBytes, path).fields;
    } catch (const Failure &failure) {
        fail("the archive opened a file whose header does not parse", failure.description());
    }
}

namespace {

QStringList namesToRead(const std::vector<DbfField> &fields)
{
    QStringList names;
    for (const DbfField &field : fields)
        names << field.name;
    using namespace ArchiveField;
    for (QStringView name :
         {ACTDATE, MECHNAME, TYPEKKM, ZAVNUM, GODVYP, PRICHINA, E_SOHRAN, E_READABLE, INN, EKLZREG, NAMEORG})
        names << name.toString();
    names << u"mechname"_s << u"NOSUCHFIELD"_s;
    return names;
}

const DbfField *findField(const std::vector<DbfField> &fields, const QString &name)
{
    for (const DbfField &field : fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

void checkValueType(const DbfField &field, const QVariant &value)
{
    if (value.isNull())
        return;
    switch (field.type) {
    case 'L': check(value.typeId() == QMetaType::Bool, "a logical cell did not read as bool", field.name); return;
    case 'D':
        check(value.typeId() == QMetaType::QDate && value.toDate().isValid(),
              "a date cell did not read as a valid date", field.name);
        return;
    case 'N':
    case 'F': check(value.typeId() == QMetaType::Double, "a number cell did not read as double", field.name); return;
    default: {
        check(value.typeId() == QMetaType::QString, "a text cell did not read as text", field.name);
        const QString text = value.toString();
        // Padding is trailing blanks and NULs; an all-padding cell is null.
        check(!text.isEmpty() && text.back() != u' ' && text.back() != QChar(0),
              "a text cell kept its padding or read as empty text", field.name + u": «"_s + text + u'»');
    }
    }
}

void readCell(const ArchiveRecordSet &records, const std::vector<DbfField> &fields, const QString &name)
{
    const DbfField *field = findField(fields, name);
    QVariant value;
    try {
        value = records.value(name);
    } catch (const Failure &failure) {
        if (field == nullptr) {
            check(failure.number() == FailureCode::ItemNotFound && failure.description().contains(name),
                  "a missing field gave the wrong failure", failure.description());
        } else {
            check(failure.number() == FailureCode::TypeMismatch && failure.description().contains(field->name),
                  "an undecodable cell gave the wrong failure", failure.description());
        }
        return;
    }
    check(field != nullptr, "a field the table does not have was read", name);
    checkValueType(*field, value);
}

}  // namespace

int readEveryCell(Archive &archive, const std::vector<DbfField> &fields)
{
    const QStringList names = namesToRead(fields);
    const std::unique_ptr<ArchiveRecordSet> records = archive.open(ArchiveAccess::ReadOnly);
    const int count = records->recordCount();
    int read = 0;
    for (; !records->atEnd(); records->moveNext(), ++read) {
        for (const QString &name : names)
            readCell(*records, fields, name);
    }
    check(read == count, "the scan and the record count disagree", u"%1 read, %2 counted"_s.arg(read).arg(count));
    records->close();
    return read;
}

}  // namespace qm::fuzz
