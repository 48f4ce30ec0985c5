// The text, address and cookie routines of the web page access. Texts are
// GBK: this file is compiled with the program's execution character set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/text_routines.h"
#include "app/url_routines.h"

namespace lyra::app {
namespace {

std::string S(const OwnedText& text) { return text.c_str(); }
OwnedText T(const char* text) { return OwnedText::CopyOf(text); }

std::vector<OwnedText> List(std::initializer_list<const char*> texts) {
    std::vector<OwnedText> list;
    for (const char* text : texts) list.push_back(OwnedText::CopyOf(text));
    return list;
}

// ---- TextBetween and the marker routines ----

TEST(TextBetween, FindsTheTextBetweenTheFirstLeftAndTheNextRight) {
    EXPECT_EQ(S(TextBetween("<b>one</b><b>two</b>", "<b>", "</b>")), "one");
    EXPECT_EQ(S(TextBetween("<b>one</b><b>two</b>", "<b>", "</b>", 4)), "two");
    EXPECT_EQ(S(TextBetween("<b></b>", "<b>", "</b>")), "");
    EXPECT_EQ(S(TextBetween("HTTP/1.1 301 Moved Permanently", "HTTP/1.1 ", " Moved")), "301");
}

TEST(TextBetween, IgnoresCaseUnlessAskedNotTo) {
    EXPECT_EQ(S(TextBetween("<B>x</B>", "<b>", "</b>")), "x");
    EXPECT_EQ(S(TextBetween("<B>x</B>", "<b>", "</b>", 1, true)), "");
    EXPECT_EQ(S(TextBetween("<B>x</b>", "<B>", "</b>", 1, true)), "x");
}

TEST(TextBetween, QuoteWordStandsForADoubleQuote) {
    EXPECT_EQ(S(TextBetween("<a href=\"/x.mp3\">", "href=#引号", "#引号")), "/x.mp3");
    EXPECT_EQ(S(TextBetween("a #引号b#引号", "#引号", "#引号")), "") << "only the markers are rewritten";
}

TEST(TextBetween, MissingMarkersAndBadStartsGiveEmptyText) {
    EXPECT_EQ(S(TextBetween("abc", "x", "c")), "");
    EXPECT_EQ(S(TextBetween("abc", "a", "x")), "");
    EXPECT_EQ(S(TextBetween("abc", "a", "c", 10)), "");
    EXPECT_EQ(S(TextBetween("abc", "a", "c", -5)), "b") << "a start below 1 searches the whole text";
    EXPECT_EQ(S(TextBetween("", "a", "c")), "");
    EXPECT_EQ(S(TextBetween(nullptr, nullptr, nullptr)), "");
}

TEST(TextBetween, EmptyMarkers) {
    EXPECT_EQ(S(TextBetween("abc", "", "c")), "ab") << "an empty left marker matches at the start";
    EXPECT_EQ(S(TextBetween("abc", "a", "")), "") << "an empty right marker matches before the left one ends";
    EXPECT_EQ(S(TextBetween("", "", "")), "");
}

TEST(TextBetween, TwoByteCharactersAreNeverSplit) {
    EXPECT_EQ(S(TextBetween("前收藏列表中间收藏列表后", "收藏列表", "收藏列表")), "中间");
    // The second byte of 中 (D6 D0) followed by 间 must not be taken for a marker D0 BC.
    const char text[] = "\xD6\xD0\xBC\xE4" "a\xD0\xBC" "b";
    EXPECT_EQ(S(TextBetween(text, "\xD0\xBC", "b")), "");
    EXPECT_EQ(S(TextBetween(text, "a", "b")), "\xD0\xBC");
}

TEST(ValueAfterColon, TrimmedRestAfterTheFirstColon) {
    EXPECT_EQ(S(ValueAfterColon("Location: http://h:8080/x")), "http://h:8080/x");
    EXPECT_EQ(S(ValueAfterColon("a:　 b 　")), "b") << "full-width spaces too";
    EXPECT_EQ(S(ValueAfterColon("no colon")), "");
    EXPECT_EQ(S(ValueAfterColon(":")), "");
    EXPECT_EQ(S(ValueAfterColon("")), "");
}

TEST(MarkerRoutines, BeforeTheFirstAndAfterTheLast) {
    EXPECT_EQ(S(TextBeforeMarker("name=value=x", "=")), "name");
    EXPECT_EQ(S(TextBeforeMarker("a-b-c", "-", 3)), "a-b");
    EXPECT_EQ(S(TextBeforeMarker("a-b", "-", -3)), "a") << "start below 1 reads as 1";
    EXPECT_EQ(S(TextBeforeMarker("aXb", "x")), "") << "case-sensitive by default";
    EXPECT_EQ(S(TextBeforeMarker("aXb", "x", 1, true)), "a");
    EXPECT_EQ(S(TextBeforeMarker("abc", "z")), "");

    EXPECT_EQ(S(TextAfterLastMarker("a/b/c.mp3", "/")), "c.mp3");
    EXPECT_EQ(S(TextAfterLastMarker("a/b/c", "/", 100)), "c") << "start has no effect";
    EXPECT_EQ(S(TextAfterLastMarker("a/b/", "/")), "");
    EXPECT_EQ(S(TextAfterLastMarker("aXbxc", "X", 1, true)), "c");
    EXPECT_EQ(S(TextAfterLastMarker("abc", "z")), "");
}

TEST(Entries, IndexOfTextAndRemoveDuplicateEntries) {
    std::vector<OwnedText> texts = List({"a", "", "b", "a"});
    EXPECT_EQ(IndexOfText(texts, "a"), 1);
    EXPECT_EQ(IndexOfText(texts, "b"), 3);
    EXPECT_EQ(IndexOfText(texts, ""), 2);
    EXPECT_EQ(IndexOfText(texts, "A"), -1) << "byte for byte";
    EXPECT_EQ(IndexOfText({}, "a"), -1);

    EXPECT_EQ(S(RemoveDuplicateEntries("a=1; b=2; a=1; c=3; b=2", "; ")), "a=1; b=2; c=3");
    EXPECT_EQ(S(RemoveDuplicateEntries("a=1; A=1", "; ")), "a=1; A=1");
    EXPECT_EQ(S(RemoveDuplicateEntries("x,y", "")), "x,y") << "an empty separator splits nothing";
    EXPECT_EQ(S(RemoveDuplicateEntries("", "; ")), "");
}

// ---- Addresses ----

TEST(HostFromUrl, LowerCasedHostWithOrWithoutScheme) {
    EXPECT_EQ(S(HostFromUrl("http://WWW.Example.COM/a/b")), "www.example.com");
    EXPECT_EQ(S(HostFromUrl("www.example.com/5.aspx?qq=1")), "www.example.com");
    EXPECT_EQ(S(HostFromUrl("www.example.com")), "www.example.com");
    EXPECT_EQ(S(HostFromUrl("HTTPS://LocalHost:8443/a")), "localhost");
    EXPECT_EQ(S(HostFromUrl("HTTPS://LocalHost:8443/a", false, true)), "localhost:8443");
    EXPECT_EQ(S(HostFromUrl("127.0.0.1:18080/x", false, true)), "127.0.0.1:18080");
}

TEST(HostFromUrl, MainDomainKeepsTheLastTwoParts) {
    EXPECT_EQ(S(HostFromUrl("http://a.b.c.d.e.f.g.h.example.com/", true)), "example.com");
    EXPECT_EQ(S(HostFromUrl("http://music.example.com:81/", true, true)), "example.com:81");
    EXPECT_EQ(S(HostFromUrl("http://localhost/", true)), "localhost");
    EXPECT_EQ(S(HostFromUrl("http://a..b/", true)), ".b") << "an empty part is still a part";
    std::string dots(500, '.');
    EXPECT_EQ(S(HostFromUrl(("http://x" + dots + "y/").c_str(), true)), ".y");
}

TEST(HostFromUrl, HostileAddresses) {
    EXPECT_EQ(S(HostFromUrl("https://")), "");
    EXPECT_EQ(S(HostFromUrl("http://")), "");
    EXPECT_EQ(S(HostFromUrl("")), "");
    EXPECT_EQ(S(HostFromUrl(nullptr)), "");
    EXPECT_EQ(S(HostFromUrl("http:///path")), "");
    EXPECT_EQ(S(HostFromUrl(":::")), "");
    EXPECT_EQ(S(HostFromUrl("host.test/r?u=http://other.test/x")), "host.test")
        << "a scheme further on is not the start of the address";
    std::string longHost(10000, 'h');
    EXPECT_EQ(S(HostFromUrl(("http://" + longHost + "/x").c_str())), longHost);
}

TEST(PortFromUrl, ExplicitPortOrTheSchemesDefault) {
    EXPECT_EQ(PortFromUrl("www.example.com/x"), 80);
    EXPECT_EQ(PortFromUrl("http://h/"), 80);
    EXPECT_EQ(PortFromUrl("https://h/"), 443);
    EXPECT_EQ(PortFromUrl("HTTPS://h"), 443);
    EXPECT_EQ(PortFromUrl("h:8080/x"), 8080);
    EXPECT_EQ(PortFromUrl("https://h:8443/a"), 8443);
}

TEST(PortFromUrl, PortsOutOfRangeAreReportedAsWritten) {
    EXPECT_EQ(PortFromUrl("http://h:99999/"), 99999);
    EXPECT_EQ(PortFromUrl("http://h:-1/"), -1);
    EXPECT_EQ(PortFromUrl("http://h:/"), 0);
    EXPECT_EQ(PortFromUrl("http://h:abc/"), 0);
    EXPECT_EQ(PortFromUrl("http://h:1:2/"), 2) << "the last colon";
    EXPECT_EQ(PortFromUrl(""), 80);
}

TEST(PathFromUrl, PathAndQueryFromTheFirstSlashAfterTheHost) {
    EXPECT_EQ(S(PathFromUrl("127.0.0.1:18080/5.aspx?qq=1")), "/5.aspx?qq=1");
    EXPECT_EQ(S(PathFromUrl("http://H/A?B=C")), "/A?B=C") << "the path keeps its case";
    EXPECT_EQ(S(PathFromUrl("http://h")), "/");
    EXPECT_EQ(S(PathFromUrl("h")), "/");
    EXPECT_EQ(S(PathFromUrl("http://h/a/http://h/b")), "/a/http://h/b");
    EXPECT_EQ(S(PathFromUrl("https://HOST:8443/a")), "/a");
}

TEST(PathFromUrl, HostNamesFoundInTheSchemeAreNotConfused) {
    EXPECT_EQ(S(PathFromUrl("http://h/x")), "/x");
    EXPECT_EQ(S(PathFromUrl("https://tp/y?z")), "/y?z");
    EXPECT_EQ(S(PathFromUrl("http://http/q")), "/q");
    EXPECT_EQ(S(PathFromUrl("https://")).substr(0, 1), "/");
}

TEST(ResolveLocation, EveryFormOfRedirectTarget) {
    const char* base = "http://h:81/a/b/page.aspx?qq=1#top";
    EXPECT_EQ(S(ResolveLocation(base, "http://other/x?y")), "http://other/x?y");
    EXPECT_EQ(S(ResolveLocation(base, " HTTPS://Other:8443/x#frag ")), "HTTPS://Other:8443/x");
    EXPECT_EQ(S(ResolveLocation(base, "//other/x")), "http://other/x");
    EXPECT_EQ(S(ResolveLocation(base, "/root?q=2")), "http://h:81/root?q=2");
    EXPECT_EQ(S(ResolveLocation(base, "?qq=2")), "http://h:81/a/b/page.aspx?qq=2");
    EXPECT_EQ(S(ResolveLocation(base, "next.aspx")), "http://h:81/a/b/next.aspx");
    EXPECT_EQ(S(ResolveLocation(base, "../c/./d")), "http://h:81/a/c/d");
    EXPECT_EQ(S(ResolveLocation(base, "../../../../up")), "http://h:81/up") << "never above the root";
    EXPECT_EQ(S(ResolveLocation(base, "./")), "http://h:81/a/b/");
    EXPECT_EQ(S(ResolveLocation(base, "")), "http://h:81/a/b/page.aspx?qq=1");
}

TEST(ResolveLocation, BaseWithoutSchemeOrPath) {
    EXPECT_EQ(S(ResolveLocation("127.0.0.1:18080/5.aspx?qq=1", "moved")), "http://127.0.0.1:18080/moved");
    EXPECT_EQ(S(ResolveLocation("https://h", "x")), "https://h/x");
    EXPECT_EQ(S(ResolveLocation("http://h?q", "x")), "http://h/x");
    EXPECT_EQ(S(ResolveLocation("https://h/a", "//o/p")), "https://o/p");
}

TEST(ResolveLocation, OtherSchemesAreNotFollowed) {
    for (const char* target : {"ftp://h/x", "file:///c:/windows/notepad.exe", "javascript:alert(1)", "mailto:a@b"}) {
        EXPECT_EQ(S(ResolveLocation("http://h/", target)), "") << target;
    }
    EXPECT_EQ(S(ResolveLocation("http://h/", "a:b/c")), "") << "a scheme is a scheme";
    EXPECT_EQ(S(ResolveLocation("http://h/", "x/a:b")), "http://h/x/a:b") << "a colon after a slash is no scheme";
}

// ---- Cookies ----

TEST(CookieName, BytesBeforeTheFirstEqualsTrimmed) {
    EXPECT_EQ(S(CookieName(" a =1=2")), "a");
    EXPECT_EQ(S(CookieName("flag")), "flag");
    EXPECT_EQ(S(CookieName("=x")), "");
    EXPECT_EQ(S(CookieName("")), "");
    EXPECT_TRUE(CookieListHasName(List({"a=1", "b=2"}), "b"));
    EXPECT_FALSE(CookieListHasName(List({"a=1", "b=2"}), "B"));
    EXPECT_FALSE(CookieListHasName({}, ""));
}

TEST(MergeCookies, ReceivedReplaceStoredOfTheSameNameAndComeFirst) {
    OwnedText cookies = T("b=9; c=3");
    OwnedText received = T("a=1; b=2");
    MergeCookies(cookies.Slot(), received.Slot());
    EXPECT_EQ(S(cookies), "a=1; b=2; c=3");
    EXPECT_EQ(S(received), "a=1;b=2") << "both variables lose their spaces";
}

TEST(MergeCookies, DeletedValueDropsTheCookie) {
    OwnedText cookies = T("b=9; c=3");
    OwnedText received = T("a=1; b=2; c=deleted");
    MergeCookies(cookies.Slot(), received.Slot());
    EXPECT_EQ(S(cookies), "a=1; b=2");
}

TEST(MergeCookies, EmptyRepeatedAndOddEntries) {
    struct Case {
        const char* cookies;
        const char* received;
        const char* merged;
    };
    const Case cases[] = {
        {"", "", ""},
        {"", "a=1; b=2", "a=1; b=2"},
        {"a=1; b=2", "", "a=1; b=2"},
        {"a=1", "a=1; a=1", "a=1"},
        {"x = 1 　;　y=2", "", "x=1; y=2"},
        {"flag; a=1", "flag", "flag; a=1"},
        {"a=1;", "", "a=1"},
        {";;;", ";", ""},
        {"a=deleted", "", ""},
    };
    for (const Case& c : cases) {
        OwnedText cookies = T(c.cookies);
        OwnedText received = T(c.received);
        MergeCookies(cookies.Slot(), received.Slot());
        EXPECT_EQ(S(cookies), c.merged) << "stored \"" << c.cookies << "\", received \"" << c.received << "\"";
    }
}

// ---- Pieces of a split text ----

TEST(TextArray, PiecesInsideTheArrayReadAsText) {
    TextArray pieces = cmd::SplitText("a..b", ".");
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_STREQ(pieces[0], "a");
    EXPECT_STREQ(pieces[1], "") << "an empty piece";
    EXPECT_STREQ(pieces[2], "b");
}

TEST(TextArrayDeathTest, AnIndexOutsideTheArrayIsARuntimeError) {
    struct Case {
        int64_t index;
        const char* report;
    };
    const Case cases[] = {
        {-1, "错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1"},
        {2, "错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围"},
        {1000, "错误代码：1"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                TextArray pieces = cmd::SplitText("a.b", ".");
                std::fputs(pieces[c.index], stdout);
            },
            ::testing::ExitedWithCode(255), c.report)
            << "index " << c.index;
    }
}

}  // namespace
}  // namespace lyra::app
