// The 8-bit code page at the scripting boundary, natively through iconv with CP936,
// the code page the control's texts are written in.
#include <gtest/gtest.h>

#include "control/code_page.h"

namespace orvix {
namespace {

struct Case {
    const char* what;
    std::u16string wide;
    std::string narrow;  // CP936 bytes
};

class CodePage936 : public testing::Test {
protected:
    std::unique_ptr<CodePage> cp = makeIconvCodePage("CP936");
};

TEST_F(CodePage936, RoundTripsWhatTheCodePageHolds) {
    const Case cases[] = {
        {"empty", u"", ""},
        {"ascii", u"deleteAt(-1)", "deleteAt(-1)"},
        {"count label", u"\u6570\u91cf:5", "\xca\xfd\xc1\xbf:5"},
        {"caption", u"OrvixCam\u63a7\u4ef6", "OrvixCam\xbf\xd8\xbc\xfe"},
        {"full-width punctuation", u"\u5417\uff1f", "\xc2\xf0\xa3\xbf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.narrow, cp->fromUtf16(c.wide)) << c.what;
        EXPECT_EQ(c.wide, cp->toUtf16(c.narrow)) << c.what;
    }
}

TEST_F(CodePage936, ReplacesWhatItCannotHoldWithItsDefaultCharacter) {
    const Case cases[] = {
        {"thai letter", u"a\u0e01b", "a?b"},
        {"surrogate pair counts once", u"x\U0001F600y", "x?y"},
        {"several in a row", u"\u0e01\u0e02\u6570", "??\xca\xfd"},
        {"lone surrogate", u"a\xd800", "a?"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.narrow, cp->fromUtf16(c.wide)) << c.what;
}

TEST_F(CodePage936, InvalidBytesBecomeQuestionMarks) {
    // A lead byte at the end has no trail byte.
    EXPECT_EQ(u"ab?", cp->toUtf16("ab\xca"));
    EXPECT_EQ(u"?z", cp->toUtf16("\xffz"));
}

}  // namespace
}  // namespace orvix
