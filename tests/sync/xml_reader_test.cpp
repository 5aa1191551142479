// The XML reader on what servers send, and on what it must refuse.
#include <gtest/gtest.h>

#include <string>

#include "sync/dav_multistatus.h"
#include "sync/xml_reader.h"

namespace {

XmlElement Read(const std::string& text) {
    XmlElement root;
    std::string error;
    EXPECT_TRUE(ReadXml(text, root, error)) << error << "\n" << text;
    return root;
}

bool Refused(const std::string& text) {
    XmlElement root;
    std::string error;
    bool read = ReadXml(text, root, error);
    return !read && !error.empty() && root.children.empty();
}

TEST(XmlReaderTest, NamespacesAreResolvedWhateverThePrefixes) {
    // Default namespace, a prefix bound twice, a declaration after use in
    // the same tag, and one that ends with its element.
    XmlElement root = Read(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- a comment -->\n"
        "<multistatus xmlns=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">"
        "<response><C:address-data>x</C:address-data>"
        "<A:getetag xmlns:A=\"DAV:\">e</A:getetag>"
        "<C:x xmlns:C=\"other\"/><C:y/></response><z xmlns=\"\"/></multistatus>");
    EXPECT_TRUE(IsElement(root, "DAV:", "multistatus"));
    ASSERT_EQ(2u, root.children.size());
    const XmlElement& response = root.children[0];
    ASSERT_EQ(4u, response.children.size());
    EXPECT_TRUE(IsElement(response.children[0], CardDavSpace, "address-data"));
    EXPECT_TRUE(IsElement(response.children[1], "DAV:", "getetag"));
    EXPECT_TRUE(IsElement(response.children[2], "other", "x"));
    EXPECT_TRUE(IsElement(response.children[3], CardDavSpace, "y"));
    EXPECT_TRUE(IsElement(root.children[1], "", "z"));
}

TEST(XmlReaderTest, TextKeepsEntitiesCharacterReferencesAndCdata) {
    XmlElement root = Read("<a>x &lt;&amp;&gt; &quot;&apos; &#20013;&#x6587; &#x1F600;<![CDATA[<b>&amp;]]>\r\nEND</a>");
    EXPECT_EQ("x <&> \"' 中文 \xF0\x9F\x98\x80<b>&amp;\r\nEND", root.text);
}

TEST(XmlReaderTest, RefusesWhatIsNotAWellFormedDocumentWithinTheLimits) {
    EXPECT_TRUE(Refused(""));
    EXPECT_TRUE(Refused("text"));
    EXPECT_TRUE(Refused("<a>"));
    EXPECT_TRUE(Refused("<a></b>"));
    EXPECT_TRUE(Refused("<a/><b/>"));
    EXPECT_TRUE(Refused("<a/>trailing"));
    EXPECT_TRUE(Refused("<p:a/>"));
    EXPECT_TRUE(Refused("<a>&unknown;</a>"));
    EXPECT_TRUE(Refused("<a>&#0;</a>"));
    EXPECT_TRUE(Refused("<a>&#xD800;</a>"));
    EXPECT_TRUE(Refused("<a>&#x110000;</a>"));
    EXPECT_TRUE(Refused("<a b=c/>"));
    EXPECT_TRUE(Refused("<a b=\"1\"c=\"2\"/>"));
    EXPECT_TRUE(Refused("<a><![CDATA[x</a>"));
    EXPECT_TRUE(Refused("<a><!-- x</a>"));
    // No document type, so no entity can expand.
    EXPECT_TRUE(Refused("<!DOCTYPE a [<!ENTITY x \"xx\">]><a>&x;</a>"));
    std::string deep;
    for (size_t i = 0; i <= MaxXmlDepth; ++i) deep += "<a>";
    for (size_t i = 0; i <= MaxXmlDepth; ++i) deep += "</a>";
    EXPECT_TRUE(Refused(deep));
    std::string many = "<a>";
    for (size_t i = 0; i < MaxXmlElements; ++i) many += "<b/>";
    EXPECT_TRUE(Refused(many + "</a>"));
}

TEST(XmlReaderTest, AMultistatusGivesEachResponseWithItsStatuses) {
    DavMultistatus answer;
    std::string error;
    ASSERT_TRUE(ReadMultistatus(
        "<d:multistatus xmlns:d='DAV:' xmlns:cs='http://calendarserver.org/ns/'>"
        "<d:response><d:href> /book/a.vcf </d:href>"
        "<d:propstat><d:prop><d:getetag>\"1\"</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
        "<d:propstat><d:prop><cs:getctag/></d:prop><d:status>HTTP/1.1 404 Not Found</d:status></d:propstat>"
        "</d:response>"
        "<d:response><d:href>/book/b.vcf</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>"
        "<d:sync-token>tok&amp;1</d:sync-token></d:multistatus>",
        answer, error))
        << error;
    ASSERT_EQ(2u, answer.entries.size());
    EXPECT_EQ("/book/a.vcf", answer.entries[0].href);
    EXPECT_EQ("\"1\"", FoundText(answer.entries[0], DavSpace, "getetag"));
    EXPECT_EQ(nullptr, FoundProperty(answer.entries[0], CalendarServerSpace, "getctag"));
    EXPECT_EQ(404, answer.entries[1].status);
    EXPECT_EQ("tok&1", answer.syncToken);
    EXPECT_FALSE(ReadMultistatus("<error xmlns='DAV:'/>", answer, error));

    EXPECT_EQ(std::vector<std::string>{"valid-sync-token"},
              ErrorConditions("<?xml version='1.0'?><error xmlns='DAV:'><valid-sync-token /></error>"));
    EXPECT_TRUE(ErrorConditions("not xml").empty());
}

}  // namespace
