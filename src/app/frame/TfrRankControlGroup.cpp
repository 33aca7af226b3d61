#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/Placement.h"
#include "rank/lookup/EngineTable.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int KeywordColumnWidth = 255;
constexpr int EngineColumnWidth = 116;

int rowTop(int n)
{
    return 64 + 32 * (n - 1);
}

} // namespace

void TfrRank::buildControlGroup()
{
    QGroupBox* group = Placement::group(
        this, QStringLiteral("GBControl"), QStringLiteral(" Контроль "), { 8, 54, 961, 307 });
    buildKeywordColumn(group);
    int left = KeywordColumnWidth;
    for (Engine engine : kEngines) {
        buildEngineColumn(group, engine, left);
        left += EngineColumnWidth;
    }
    CheckBoxGoogleCom = checkBox(Engine::GoogleCom);
    CheckBoxGoogleRu = checkBox(Engine::GoogleRu);
    CheckBoxYandexRu = checkBox(Engine::YandexRu);
    CheckBoxRamblerRu = checkBox(Engine::RamblerRu);
    CheckBoxAportRu = checkBox(Engine::AportRu);
    CheckBoxMSNCom = checkBox(Engine::MSNCom);
}

void TfrRank::buildKeywordColumn(QWidget* group)
{
    QLabel* heading
        = Placement::label(group, QStringLiteral("Укажите ключевые слова и словосочетания:"), { 19, 23 });
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::WindowText, FrameLook::maroon);
    heading->setPalette(headingPalette);
    Placement::fitWidth(heading, KeywordColumnWidth - 19);

    for (int n = 1; n <= KeywordCount; ++n) {
        Placement::label(group, QString::number(n) + QLatin1Char('.'), { 6, rowTop(n) + 4 });
        QLineEdit* edit = Placement::edit(
            group, QStringLiteral("edKeyWord") + QString::number(n), { 19, rowTop(n), 227, 21 });
        QPalette editPalette = edit->palette();
        editPalette.setColor(QPalette::Base, FrameLook::tooltipBackground());
        edit->setPalette(editPalette);
        m_keywordEdits[n - 1] = edit;
    }
    edKeyWord1 = m_keywordEdits[0];
    edKeyWord2 = m_keywordEdits[1];
    edKeyWord3 = m_keywordEdits[2];
    edKeyWord4 = m_keywordEdits[3];
    edKeyWord5 = m_keywordEdits[4];
    edKeyWord6 = m_keywordEdits[5];
    edKeyWord7 = m_keywordEdits[6];
}

void TfrRank::buildEngineColumn(QWidget* group, Engine engine, int left)
{
    const QString key = engineKey(engine);
    auto* box = new QCheckBox(engineCaption(engine), group);
    box->setObjectName(QStringLiteral("CheckBox") + key);
    box->move(left + 6, 22);
    box->adjustSize();
    box->setChecked(engineRow(engine).tickedInNewProject);
    m_checkBoxes[static_cast<std::size_t>(engine)] = box;

    QLabel* header = Placement::label(group, QStringLiteral("Место        Запросов"), { left + 6, 45 });
    Placement::fitWidth(header, EngineColumnWidth - 8);
    for (int n = 1; n <= KeywordCount; ++n) {
        ResultCell::place(
            group, QStringLiteral("Rank") + key + QString::number(n), { left + 4, rowTop(n), 49, 21 });
        ResultCell::place(
            group, QStringLiteral("Count") + key + QString::number(n), { left + 59, rowTop(n), 49, 21 })
            ->setText(m_results.count(engine, n).text);
    }
}
