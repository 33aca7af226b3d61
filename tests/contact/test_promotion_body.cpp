#include "contact/PromotionRequest.h"
#include "net/FormBody.h"

#include <gtest/gtest.h>

namespace {

// The body of the request as the maker's script receives it, for the fields given.
QByteArray bodyOf(const PromotionFields& fields)
{
    return PromotionRequest(fields).body();
}

// The body with every field empty but one keyword and the comment.
QByteArray expectedBody(const QByteArray& name, const QByteArray& key1, const QByteArray& message)
{
    return "Promoscript=&usr_category=ZAD+Order&&usr_name=" + name
        + "&&usr_mail=&&usr_site=&&usr_phone=&&usr_key1=" + key1
        + "&&usr_key2=&&usr_key3=&&usr_key4=&&usr_key5=&&usr_key6=&&usr_key7="
          "&&usr_mes=ZLT%20form%20sending:%20ZLT132%20%20"
        + message + "&&submit=%25CE%25F2%25EF%25F0%25E0%25E2%25E8%25F2%25FC";
}

} // namespace

TEST(PromotionBody, AllFieldsEmptyStillCarryFourteenFields)
{
    const PromotionFields empty;
    EXPECT_EQ(PromotionRequest(empty).lines().size(), 14);
    EXPECT_EQ(bodyOf(empty), expectedBody("", "", ""));
}

struct TypedField {
    const char* what;
    QString typed;
    QByteArray sent;
};

class TypedKeyword : public ::testing::TestWithParam<TypedField> { };

TEST_P(TypedKeyword, GoesOutAsTheScriptMustReadIt)
{
    PromotionFields fields;
    fields.keywords[0] = GetParam().typed;
    EXPECT_EQ(bodyOf(fields), expectedBody("", GetParam().sent, "")) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Rows, TypedKeyword,
    ::testing::Values(TypedField { "Cyrillic as Windows-1251 escapes, the blank as %20",
                          QStringLiteral("купить окна"), "%EA%F3%EF%E8%F2%FC%20%EE%EA%ED%E0" },
        TypedField { "ampersand", QStringLiteral("R&D"), "R%26D" },
        TypedField { "equals sign", QStringLiteral("a=b"), "a%3Db" },
        TypedField { "plus", QStringLiteral("C++"), "C%2B%2B" },
        TypedField {
            "a field smuggled in", QStringLiteral("x&usr_category=Spam"), "x%26usr_category%3DSpam" },
        TypedField {
            "characters the rule escapes", QStringLiteral("50% <b>[*]#"), "50%25%20%3Cb%3E%5B%2A%5D%23" },
        TypedField { "characters the rule passes", QStringLiteral("a:b/c?d.e-f_g~"), "a:b/c?d.e-f_g~" },
        TypedField { "a letter outside Windows-1251", QStringLiteral("日"), "?" }));

TEST(PromotionBody, MultiLineCommentKeepsItsLineBreaksInsideTheMessage)
{
    PromotionFields fields;
    fields.comment = QStringLiteral("Срочно\nдо мая\r\nспасибо");
    EXPECT_EQ(bodyOf(fields),
        expectedBody("", "", "%D1%F0%EE%F7%ED%EE%0D%0A%E4%EE%20%EC%E0%FF%0D%0A%F1%EF%E0%F1%E8%E1%EE"));
}

TEST(PromotionBody, WithoutSeparatorsTypedTheBodyIsTheFormBodyRuleOfTheLines)
{
    PromotionFields fields;
    fields.name = QStringLiteral("Пётр Ильич");
    fields.site = QStringLiteral("www.сайт.рф");
    fields.keywords[6] = QStringLiteral(" пробел ");
    fields.comment = QStringLiteral("a\nb\tc");
    const PromotionRequest request(fields);
    EXPECT_EQ(request.body(), formBody(request.lines()));
}

TEST(PromotionBody, AddressOfTheFeedbackScript)
{
    EXPECT_EQ(PromotionRequest::url(QStringLiteral("127.0.0.1:8080")),
        "http://127.0.0.1:8080/promoscript/feedback_new.php");
}
