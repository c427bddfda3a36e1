// The annotation model: the factory, the common entries, appearance states,
// the collection and its driving of each annotation.
#include "AnnotFixture.h"

#include "pdfengine/annots/QXPDFAction.h"
#include "pdfengine/annots/QXPDFAnnotCollection.h"
#include "pdfengine/annots/QXPDFAnnotFreeText.h"
#include "pdfengine/annots/QXPDFAnnotGeometry.h"
#include "pdfengine/annots/QXPDFAnnotInk.h"
#include "pdfengine/annots/QXPDFAnnotLine.h"
#include "pdfengine/annots/QXPDFAnnotLink.h"
#include "pdfengine/annots/QXPDFAnnotPopup.h"
#include "pdfengine/annots/QXPDFAnnotStamp.h"
#include "pdfengine/annots/QXPDFAnnotText.h"
#include "pdfengine/annots/QXPDFAnnotTextMarkup.h"
#include "pdfengine/annots/QXPDFAnnotWidget.h"

#include <gtest/gtest.h>

#include <typeinfo>

using namespace rz;
using namespace rz::test;

namespace {

const char* kFormStream = "stream /Type /XObject /Subtype /Form /BBox [0 0 10 10]\n0 0 10 10 re f";

TEST(AnnotFactory, ChoosesTheClassBySubtypeAndAcceptsAMissingType)
{
    struct Case {
        std::string dict;
        const std::type_info* kind; // null: refused
    };
    const Case cases[] = {
        {"<< /Type /Annot /Subtype /Line >>", &typeid(QXPDFAnnotLine)},
        {"<< /Subtype /Square >>", &typeid(QXPDFAnnotSquare)},
        {"<< /Subtype /Circle >>", &typeid(QXPDFAnnotCircel)},
        {"<< /Subtype /Highlight >>", &typeid(QXPDFAnnotHighlight)},
        {"<< /Subtype /Underline >>", &typeid(QXPDFAnnotUnderline)},
        {"<< /Subtype /StrikeOut >>", &typeid(QXPDFAnnotStrikeout)},
        {"<< /Subtype /FreeText >>", &typeid(QXPDFAnnotFreeText)},
        {"<< /Subtype /Link >>", &typeid(QXPDFAnnotLink)},
        {"<< /Subtype /Text >>", &typeid(QXPDFAnnotText)},
        {"<< /Subtype /Popup >>", &typeid(QXPDFAnnotPopup)},
        {"<< /Subtype /Ink >>", &typeid(QXPDFAnnotInk)},
        {"<< /Subtype /Stamp >>", &typeid(QXPDFAnnotStamp)},
        {"<< /Subtype /Widget >>", &typeid(QXPDFAnnotWidget)},
        // No class of its own (Squiggly has one the factory never picks),
        // no subtype, a subtype in the wrong case: the base class.
        {"<< /Subtype /Squiggly >>", &typeid(QXPDFAnnot)},
        {"<< /Subtype /Caret >>", &typeid(QXPDFAnnot)},
        {"<< /Type /Annot >>", &typeid(QXPDFAnnot)},
        {"<< /Subtype /line >>", &typeid(QXPDFAnnot)},
        // Only a /Type other than /Annot refuses the dictionary.
        {"<< /Type /XObject /Subtype /Line >>", nullptr},
        {"<< /Type (Annot) /Subtype /Line >>", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dict);
        const auto annot = annotWith(c.dict);
        if (!c.kind) {
            EXPECT_EQ(annot, nullptr);
            continue;
        }
        ASSERT_NE(annot, nullptr);
        EXPECT_EQ(typeid(*annot), *c.kind);
    }
    EXPECT_EQ(QXPDFAnnot::AnnotWithDictionary(pdf::Object()), nullptr);
    EXPECT_EQ(annotWith("<< /Subtype /Squiggly >>")->type(), "Squiggly");
    EXPECT_EQ(annotWith("<< /Type /Annot >>")->type(), "");
}

TEST(AnnotReading, RectIsOrderedAndFallsBackToTheUnitRect)
{
    const std::pair<std::string, Rect> cases[] = {
        {"[100 200 50 20]", Rect(50, 20, 50, 180)},
        {"[10 20 30 40]", Rect(10, 20, 20, 20)},
        {"[1 2 3]", Rect(0, 0, 1, 1)},
        {"[1 2 3 4 5]", Rect(0, 0, 1, 1)},
        // Unreadable entries count as 0 (first corner) and 1 (second).
        {"[/a (b) null 5]", Rect(0, 0, 1, 5)},
        {"(not an array)", Rect(0, 0, 1, 1)},
    };
    for (const auto& [rect, bounds] : cases) {
        SCOPED_TRACE(rect);
        EXPECT_EQ(annotWith("<< /Subtype /Square /Rect " + rect + " >>")->bounds(), bounds);
    }
}

TEST(AnnotReading, CommonEntries)
{
    const auto annot = annotWith("<< /Subtype /Link /F 4 /M (D:20240101) /NM (id-1) /Contents <FEFF00480069> "
                                 "/C [1 0 0.5] /CA 0.25 >>");
    ASSERT_NE(annot, nullptr);
    EXPECT_EQ(annot->flags(), 4);
    EXPECT_FALSE(annot->isHidden());
    EXPECT_EQ(annot->modificationDate(), "D:20240101");
    EXPECT_EQ(annot->userName(), "id-1");
    EXPECT_EQ(annot->contents(), "Hi");
    EXPECT_EQ(annot->color(), colorOf({255, 0, 127}));
    EXPECT_DOUBLE_EQ(annot->opacity(), 0.25);
    // The opacity stays out of the colour (a fourth component would read
    // as CMYK).
    EXPECT_EQ(annot->displayColor().length, 3);
    EXPECT_EQ(annot->action(), nullptr);

    // Grey, CMYK and empty colours are ignored; an opacity out of range is clamped.
    for (const char* c : {"[0.5]", "[0 0 0 1]", "[]"}) {
        const auto other = annotWith(std::string("<< /Subtype /Link /CA 7 /C ") + c + " >>");
        EXPECT_EQ(other->color().isNull, 1) << c;
        EXPECT_EQ(other->color().length, 0) << c;
        EXPECT_DOUBLE_EQ(other->opacity(), 1.0);
    }
}

TEST(AnnotReading, AppearanceStateAndStreams)
{
    const std::map<int, std::string> streams = {{10, kFormStream}, {11, kFormStream}, {12, kFormStream}};
    EXPECT_EQ(annotWith("<< /Subtype /Widget >>")->appearState(), "Off");
    EXPECT_FALSE(annotWith("<< /Subtype /Widget >>")->hasAppearanceStream());
    EXPECT_EQ(annotWith("<< /Subtype /Widget /AP << /N 10 0 R >> >>", streams)->appearState(), "N");
    EXPECT_EQ(annotWith("<< /Subtype /Widget /AS () /AP << /N 10 0 R >> >>", streams)->appearState(), "N");

    const auto widget =
        annotWith("<< /Subtype /Widget /AS /On /AP << /N << /On 10 0 R /Off 11 0 R >> /D 12 0 R >> >>", streams);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->hasAppearanceStream());
    const QXPDFAnnotAppearance& ap = *widget->appearStreams();
    const pdf::Object n = ap.appearDict().get("N");
    EXPECT_TRUE(ap.getAppearanceStream(QXPDFAnnotAppearanceNormal, "On").sameObject(n.get("On")));
    EXPECT_TRUE(ap.getAppearanceStream(QXPDFAnnotAppearanceNormal, "Missing").isNull());
    EXPECT_TRUE(ap.getAppearanceStream(QXPDFAnnotAppearanceNormal, "").isNull());
    EXPECT_TRUE(ap.getAppearanceStream(QXPDFAnnotAppearanceDown, "On").sameObject(ap.appearDict().get("D")));
    // Rollover falls back to /N, which is no stream here.
    EXPECT_TRUE(ap.getAppearanceStream(QXPDFAnnotAppearanceRollover, "On").isNull());
    EXPECT_TRUE(ap.getAppearanceStream(7, "On").isNull());

    // A missing state tries the state "0".
    const auto zero = annotWith("<< /Subtype /Widget /AS /Gone /AP << /N << /0 11 0 R >> >> >>", streams);
    const auto events = drawAnnot(zero);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "stream");
    EXPECT_EQ(events[0].streamKey, "Widget");
    EXPECT_TRUE(events[0].stream.sameObject(zero->appearStreams()->appearDict().get("N").get("0")));

    // No stream for the state: nothing is drawn.
    EXPECT_TRUE(drawAnnot(annotWith("<< /Subtype /Widget /AS /Gone /AP << /N << /On 10 0 R >> >> >>", streams))
                    .empty());
}

TEST(AnnotReading, PopupsThatNameEachOtherAreReadOnce)
{
    // The parent's pop-up names the parent as its own pop-up.
    const auto annot = annotWith("<< /Subtype /Text /Popup 10 0 R >>",
                                 {{10, "<< /Subtype /Popup /Parent 99 0 R /Popup 99 0 R /Rect [1 2 3 4] >>"}});
    ASSERT_NE(annot, nullptr);
    ASSERT_NE(annot->popup(), nullptr);
    EXPECT_EQ(annot->popup()->type(), "Popup");
    EXPECT_EQ(annot->popup()->bounds(), Rect(1, 2, 2, 2));
    EXPECT_EQ(annot->popup()->popup(), nullptr);
}

TEST(AnnotReading, CopiesCarryTheValuesOfTheirClass)
{
    const auto line = annotWith("<< /Subtype /Line /L [1 2 3 4] /C [0 1 0] /Border [0 0 3] /Popup << >> >>");
    const auto copy = line->copy();
    ASSERT_EQ(typeid(*copy), typeid(QXPDFAnnotLine));
    const auto& c = static_cast<const QXPDFAnnotLine&>(*copy);
    EXPECT_EQ(c.endPoint(), (Point{3, 4}));
    EXPECT_EQ(c.color(), line->color());
    ASSERT_NE(c.border(), nullptr);
    EXPECT_NE(c.border(), line->border());
    EXPECT_NE(c.popup(), line->popup());
    EXPECT_DOUBLE_EQ(c.border()->lineWidth(), line->border()->lineWidth());
}

TEST(AnnotCollection, SkipsEntriesThatAreNoAnnotationsWithoutGaps)
{
    const auto doc = openPdf(annotPdf("[null 5 << /Type /Annot /Subtype /Square >> << /Type /Page >> 10 0 R]",
                                      {{10, "<< /Subtype /Circle >>"}}));
    const QXPDFAnnotCollection collection(doc->page(1).dictionary().get("Annots"), 7);
    ASSERT_EQ(collection.annots().size(), 2u);
    EXPECT_EQ(collection.annots()[0]->type(), "Square");
    EXPECT_EQ(collection.annots()[1]->type(), "Circle");
    EXPECT_EQ(collection.annots()[1]->pageIndex(), 7);
}

TEST(AnnotCollection, EachAnnotationStartsFromAFreshMarkedState)
{
    RecordingAnnotDelegate recorder;
    // State left behind by the page content.
    QXPDFRenderState& page = recorder.stack.topRenderingState();
    page.setCtm(Affine::makeScale(2, 2));
    page.setLineWidth(9);

    QXPDFAnnotCollection collection;
    collection.setAnnots({annotWith("<< /Subtype /Square /Rect [0 0 10 10] >>"),
                          annotWith("<< /Subtype /Square /F 2 /Rect [0 0 10 10] >>"),
                          annotWith("<< /Subtype /Square /F 32 /Rect [0 0 10 10] >>"),
                          annotWith("<< /Subtype /Square /F 4 /Rect [0 0 10 10] >>")});
    collection.setDelegate(&recorder);
    collection.startAllParser();

    // Hidden and NoView annotations keep their index but draw nothing.
    ASSERT_EQ(recorder.events.size(), 2u);
    const long expected[] = {0, 3};
    for (size_t i = 0; i < 2; ++i) {
        const QXPDFRenderState& st = *recorder.events[i].state;
        EXPECT_TRUE(st.isParseringAnnotion());
        EXPECT_EQ(st.pdfAnnotionIndex(), expected[i]);
        EXPECT_TRUE(st.ctm().isIdentity());
        EXPECT_DOUBLE_EQ(st.lineWidth(), 1);
    }
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(collection.annots()[i]->pdfAnnotionIndex(), long(i));
    EXPECT_EQ(recorder.stack.depth(), 1u);
    EXPECT_EQ(recorder.stack.topRenderingState().lineWidth(), 9);
    // The drawing is over: the annotations no longer point at the delegate.
    EXPECT_EQ(collection.annots()[0]->delegate(), nullptr);

    // Without a delegate nothing happens.
    QXPDFAnnotCollection alone;
    alone.setAnnots(collection.annots());
    alone.startAllParser();
}

TEST(AnnotCollection, TheStatePushedIsPoppedWhenADrawingThrows)
{
    struct Throwing : RecordingAnnotDelegate {
        void QXPDFAnnot_didScanPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>&, const Path&, bool,
                                               bool) override
        {
            throw std::runtime_error("exporter failed");
        }
    } delegate;
    QXPDFAnnotCollection collection;
    collection.setAnnots({annotWith("<< /Subtype /Square /Rect [0 0 10 10] >>")});
    collection.setDelegate(&delegate);
    EXPECT_THROW(collection.startAllParser(), std::runtime_error);
    EXPECT_EQ(delegate.stack.depth(), 1u);
}

TEST(AnnotActions, FactoryAndCopies)
{
    // The action dictionaries are reached through a page's /Annots.
    const auto withRefs = openPdf(annotPdf("[10 0 R 11 0 R 12 0 R 13 0 R]",
                                           {{10, "<< /Type /Action /S /URI /URI (https://example.org) >>"},
                                            {11, "<< /S /GoTo /D [3 0 R /Fit] >>"},
                                            {12, "<< /Type /Annot /S /URI >>"},
                                            {13, "<< /S /Launch >>"}}));
    const pdf::Object list = withRefs->page(1).dictionary().get("Annots");
    const auto uri = QXPDFAction::ActionWithDictionary(list.at(0));
    ASSERT_NE(uri, nullptr);
    EXPECT_EQ(typeid(*uri), typeid(QXPDFActionURL));
    EXPECT_EQ(uri->type(), "URI");
    const auto goTo = QXPDFAction::ActionWithDictionary(list.at(1));
    ASSERT_NE(goTo, nullptr);
    EXPECT_EQ(typeid(*goTo), typeid(QXPDFActionGoTo));
    EXPECT_EQ(QXPDFAction::ActionWithDictionary(list.at(2)), nullptr);
    const auto launch = QXPDFAction::ActionWithDictionary(list.at(3));
    ASSERT_NE(launch, nullptr);
    EXPECT_EQ(typeid(*launch), typeid(QXPDFAction));

    // A copy is of the same class and carries the type only.
    static_cast<QXPDFActionURL&>(*uri).setURL("https://example.org");
    const auto copy = uri->copy();
    EXPECT_EQ(typeid(*copy), typeid(QXPDFActionURL));
    EXPECT_EQ(copy->type(), "URI");
    EXPECT_EQ(static_cast<QXPDFActionURL&>(*copy).URL(), "");
}

} // namespace
