#include "settings/pick_lists.h"

#include "settings/ini_file.h"
#include "settings/settings_failures.h"
#include "settings/settings_keys.h"

#include <QComboBox>

#include <limits>

using namespace Qt::StringLiterals;

namespace qm {
namespace {

void replaceItems(QComboBox *list, const QStringList &items)
{
    list->clear();
    list->addItems(items);
    // A combo box selects the first item put into it when empty; the act
    // must start with no choice made.
    list->setCurrentIndex(-1);
}

void loadNumberedList(const QString &iniPath, const QString &section, const QString &prefix, QComboBox *list)
{
    // Parsed once per load: a long list would otherwise read the file once per key.
    const IniFile ini = IniFile::load(iniPath);
    constexpr int lastNumber = std::numeric_limits<qint16>::max();

    QStringList items;
    int number = 1;
    for (; number <= lastNumber; ++number) {
        const QString item = ini.value(section, prefix + QString::number(number), QString());
        if (item.isEmpty())
            break;
        items.append(item);
    }
    replaceItems(list, items);

    if (number > lastNumber) {
        const QString key = prefix + QString::number(lastNumber);
        throw settings::overflow(iniPath, section, key, items.constLast(),
                                 u"Список не может содержать больше %1 элементов."_s.arg(lastNumber));
    }
}

}  // namespace

void LoadTechnicians(const QString &iniPath, QComboBox *list)
{
    loadNumberedList(iniPath, settings::techniciansSection(), settings::technicianKeyPrefix(), list);
}

void LoadKkmModels(const QString &iniPath, QComboBox *list)
{
    loadNumberedList(iniPath, settings::kkmModelsSection(), settings::kkmModelKeyPrefix(), list);
}

QStringList operationTypeTexts()
{
    // Keep "архима" as it is: archives already hold this spelling, and recall
    // finds the item by exact text.
    return {
        u"Истечение установленного срока эксплуатации ЭКЛЗ"_s,
        u"Заполнение ЭКЛЗ"_s,
        u"Неисправность ЭКЛЗ"_s,
        u"Закрытие архима ЭКЛЗ"_s,
        u"Замена блока фискальной памяти"_s,
    };
}

void LoadOperationTypes(QComboBox *list)
{
    replaceItems(list, operationTypeTexts());
}

}  // namespace qm
