#pragma once

#include "contact/PromotionRequest.h"
#include "net/ConnectionSettings.h"
#include "rank/project/Project.h"

#include <QDialog>
#include <array>
#include <memory>

class CookieStore;
class HttpClient;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The promotion request form: contact data, the site and its keywords, a comment, and the
// button that sends them to the maker. It lives as long as the program, so the name, e-mail
// and phone the user typed stay for the next request.
class TfmAsk : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 690;
    static constexpr int ClientHeight = 392;

    explicit TfmAsk(QWidget* parent = nullptr);
    ~TfmAsk() override;

    QGroupBox* GroupBox1 = nullptr; // " Контактные данные "
    QGroupBox* GroupBox2 = nullptr; // the keywords
    QLineEdit* Edit1 = nullptr; // name
    QLineEdit* Edit2 = nullptr; // e-mail
    QLineEdit* Edit3 = nullptr; // site
    QLineEdit* Edit4 = nullptr; // phone
    QLineEdit* Edit5 = nullptr; // keywords 1 to 7
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QLineEdit* Edit11 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr; // "Отправить"

    std::unique_ptr<CookieStore> IdCookieManager;
    std::unique_ptr<HttpClient> HTTP;

    // The promotion form of the program: the main window's, made now if it has none yet.
    static TfmAsk& of(QWidget* mainWindow);

    // The frame's link: fills the form from the project and shows it modally.
    // Throws for a proxy port that is not a number; the form then stays closed.
    void openFrom(const Project& project, const ConnectionSettings& settings);
    // The filling alone: comment cleared, site and keywords copied, connection settings applied.
    void fillFrom(const Project& project, const ConnectionSettings& settings);

    QLineEdit* keywordEdit(int n) const; // n = 1..7
    PromotionFields fields() const;
    bool sending() const { return m_sending; }

public slots:
    void Button1Click();
    // Escape or closing the form during a request cancels it; the form closes once it has ended.
    void reject() override;

private:
    void buildContactGroup();
    void buildKeywordGroup();

    std::array<QLineEdit*, PromotionFields::KeywordCount> m_keywordEdits {};
    bool m_sending = false;
    bool m_cancelled = false;
};
