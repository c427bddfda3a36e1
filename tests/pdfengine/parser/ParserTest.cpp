// The parser as exporters use it: the state it leaves and shows during
// events, counters, resources, recovery and limits. Event sequences of
// whole fixtures are in the golden traces.
#include "ParserFixture.h"

#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/state/QXPDFProperties.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace rz;
using test::fixturePdf;
using test::runPage;

namespace {

TEST(ParserRun, PageRotationIsNormalised)
{
    const std::pair<const char*, long> cases[] = {{"-90", 270}, {"450", 90}, {"90.7", 90}, {"-720", 0}};
    for (const auto& [rotate, angle] : cases) {
        const auto r = runPage(fixturePdf("", "<< >>", {}, std::string("/Rotate ") + rotate));
        EXPECT_EQ(r.parser->pageRotationAngle(), angle) << rotate;
    }
    const auto r = runPage(fixturePdf(""));
    EXPECT_EQ(r.parser->pageMediaBox(), Rect(0, 0, 612, 792));
}

TEST(ParserRun, ColourOperatorsSetComponentsAndSpaces)
{
    const auto rg = runPage(fixturePdf("1 0 0 RG"));
    const QXPDFRenderState& st = rg.stack->topRenderingState();
    EXPECT_EQ(st.strokeColor().c[0], 255);
    EXPECT_EQ(st.strokeColor().c[1], 0);
    EXPECT_EQ(st.strokeColor().c[2], 0);
    EXPECT_EQ(st.strokeColorSpace()->getMode(), QXPDFColorSpaceModeDeviceRGB);
    EXPECT_EQ(st.strokeColorSpace()->objectKey(), "opt_RG");

    const auto gray = runPage(fixturePdf("/DeviceGray cs 0.5 sc"));
    const QXPDFColor& c = gray.stack->topRenderingState().fillColor();
    EXPECT_EQ((std::array<int, 3>{c.c[0], c.c[1], c.c[2]}), (std::array<int, 3>{127, 127, 127}));

    // Without any resources a device space still comes from the factory.
    const auto rgb = runPage(fixturePdf("/DeviceRGB cs 0 0 1 sc", "<< >>"));
    EXPECT_EQ(rgb.stack->topRenderingState().currentFillRGBColor(), (QXPDFRGB{0, 0, 255}));
}

TEST(ParserRun, PatternNameKeepsTheColourAndSetsThePattern)
{
    const std::string pattern = "<< /PatternType 2 /Shading << /ShadingType 2 /ColorSpace /DeviceRGB "
                                "/Coords [0 0 1 0] /Function << /FunctionType 2 /Domain [0 1] /C0 [1 0 0] "
                                "/C1 [0 0 1] /N 1 >> >> >>";
    const auto r = runPage(fixturePdf("/Pattern cs /P0 scn", "<< /Pattern << /P0 5 0 R >> >>", {{5, pattern}}));
    const QXPDFRenderState& st = r.stack->topRenderingState();
    ASSERT_TRUE(st.fillPattern());
    EXPECT_EQ(st.fillPattern()->objectKey(), "P0");
    EXPECT_EQ(st.fillColor(), st.fillColorSpace()->getDefaultColor()) << "the colour cs gave stays";
    EXPECT_EQ(st.fillColorSpace()->getMode(), QXPDFColorSpaceModePattern);
}

TEST(ParserRun, UnknownColourSpaceNameIsIgnored)
{
    const auto r = runPage(fixturePdf("0 0 1 rg /CS0 cs"));
    EXPECT_EQ(r.stack->topRenderingState().currentFillRGBColor(), (QXPDFRGB{0, 0, 255}));
    EXPECT_EQ(r.parser->warnings().count(QXPDFWarning::kResource), 1u);
}

TEST(ParserRun, TextCountersTellTextObjectsAndShowOperatorsApart)
{
    test::CallbackDelegate d;
    std::vector<std::pair<uint64_t, uint64_t>> seen;
    d.onEvent = [&](QXPDFConentParser& p, const std::string&) {
        seen.emplace_back(p.scanOperatorIndex_BegainText(), p.scanOperatorIndex_ShowText());
    };
    const auto r = runPage(fixturePdf("BT /F1 10 Tf (a) Tj (b) Tj ET BT [(c)] TJ ET",
                                      "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"),
                           &d);
    EXPECT_EQ(seen, (std::vector<std::pair<uint64_t, uint64_t>>{{1, 1}, {1, 2}, {2, 3}}));
    EXPECT_EQ(r.parser->scanOperatorIndex_BegainText(), ~uint64_t(0));
    EXPECT_EQ(r.parser->scanOperatorIndex_ShowText(), ~uint64_t(0));
}

TEST(ParserRun, EventsSeeTheStateOfTheirOperation)
{
    test::CallbackDelegate d;
    std::vector<std::string> seen;
    d.onEvent = [&](QXPDFConentParser& p, const std::string& kind) {
        const QXPDFRenderState& st = p.currentRenderingState();
        if (kind == "text")
            seen.push_back("text tx=" + QXPDFTraceDelegate::number(st.textMatrix().tx));
        else
            seen.push_back(kind + " lw=" + QXPDFTraceDelegate::number(st.lineWidth()) + " clips=" +
                           std::to_string(st.clipBezierPaths().size()) + " path=" +
                           QXPDFTraceDelegate::pathText(st.cgPath()));
    };
    runPage(fixturePdf("BT /F1 12 Tf (AB) Tj ET q 2 w 0 0 10 10 re W n 2 0 0 2 0 0 cm 1 1 m 2 2 l S Q 0 0 1 1 re S",
                       "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"),
            &d);
    EXPECT_EQ(seen, (std::vector<std::string>{"text tx=0", "text tx=8.004", "path lw=2 clips=1 path=M 2 2 L 4 4",
                                              "path lw=1 clips=0 path=M 0 0 L 1 0 L 1 1 L 0 1 Z"}));
}

TEST(ParserRun, ResourcesAreInheritedFromAnyLevelOfThePageTree)
{
    test::PdfWriter w;
    w.set(1, "<< /Type /Catalog /Pages 2 0 R >>");
    w.set(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /Resources << /XObject << /Im0 6 0 R >> >> >>");
    w.set(3, "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R] /Count 1 >>");
    w.set(4, "<< /Type /Page /Parent 3 0 R /MediaBox [0 0 100 100] /Contents 5 0 R >>");
    w.setStream(5, "", "/Im0 Do");
    w.setStream(6, "/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8", "A");
    const auto r = runPage(w.build(1));
    EXPECT_EQ(r.parser->warnings().count(), 0u);
    const auto doc = test::openFixture(w.build(1));
    EXPECT_EQ(QXPDFTraceDelegate::tracePage(doc->page(1), false),
              (std::vector<std::string>{"image id=Im0 px=1x1 ctm=[1 0 0 1 0 0] file=yes"}));
}

TEST(ParserRun, SameImageResourceIsOneObjectAndInlineImagesDiffer)
{
    std::vector<std::shared_ptr<QXPDFImageXObject>> images;
    struct Keep : test::CallbackDelegate {
        std::vector<std::shared_ptr<QXPDFImageXObject>>* out = nullptr;
        void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser&,
                                                   const std::shared_ptr<QXPDFImageXObject>& image) override
        {
            out->push_back(image);
        }
    } keep;
    keep.out = &images;
    runPage(fixturePdf("/Im0 Do /Im0 Do BI /W 1 /H 1 /CS /G /BPC 8 ID\nA\nEI BI /W 1 /H 1 /CS /G /BPC 8 ID\nB\nEI",
                       "<< /XObject << /Im0 5 0 R >> >>",
                       {{5, "stream /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8\nA"}}),
            &keep);
    ASSERT_EQ(images.size(), 4u);
    EXPECT_EQ(images[0], images[1]);
    EXPECT_FALSE(images[0]->cachedImagePath().empty());
    EXPECT_EQ(images[0]->pixelSize(), (Size{1, 1}));
    EXPECT_NE(images[2]->objectID(), images[3]->objectID());
    EXPECT_EQ(images[2]->objectID().rfind("EI-", 0), 0u);
}

TEST(ParserRun, ErrorBudgetSkipsTheRestOfAGarbageStream)
{
    std::string content;
    for (int i = 0; i < kQXPDFMaxOperatorErrors + 10; ++i)
        content += "(x) w\n";
    content += "0 0 1 1 re f\n";
    const auto doc = test::openFixture(fixturePdf(content));
    const auto lines = QXPDFTraceDelegate::tracePage(doc->page(1), false);
    EXPECT_TRUE(test::linesStartingWith(lines, "path").empty());
    EXPECT_EQ(test::linesStartingWith(lines, "warning budget").size(), 1u);

    // Fewer errors than the budget: the page goes on.
    const auto few = test::traceOf("(x) w (y) cm 0 0 1 1 re f");
    EXPECT_EQ(test::linesStartingWith(few, "path").size(), 1u);
}

TEST(ParserRun, DelegateExceptionsReachTheCallerWithTheStackRestored)
{
    test::CallbackDelegate d;
    int events = 0;
    d.onEvent = [&](QXPDFConentParser&, const std::string&) {
        if (++events == 2)
            throw std::runtime_error("exporter failed");
    };
    const auto doc = test::openFixture(fixturePdf(
        "q 0 0 1 1 re f /Fm0 Do 0 0 3 3 re f Q", "<< /XObject << /Fm0 5 0 R >> >>",
        {{5, "stream /Subtype /Form /BBox [0 0 9 9]\nq q 0 0 2 2 re f 0 0 4 4 re f"}}));
    auto stack = std::make_shared<QXPDFRenderStateStack>();
    QXPDFConentParser parser(doc->page(1));
    parser.setDelegate(&d);
    parser.setRenderingStateStack(stack);
    EXPECT_THROW(parser.startParser(), std::runtime_error);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(stack->depth(), 1u);
}

TEST(ParserRun, FormsNestOnlyToTheLimit)
{
    // Form i draws a rectangle and form i + 1.
    std::map<int, std::string> objects;
    const int forms = kQXPDFMaxFormDepth + 4;
    for (int i = 0; i < forms; ++i)
        objects[10 + i] = "stream /Subtype /Form /BBox [0 0 9 9] /Resources << /XObject << /Next " +
                          std::to_string(11 + i) + " 0 R >> >>\n0 0 1 1 re f /Next Do";
    objects[10 + forms] = "<< >>";
    const auto lines = test::traceOf("/F Do", "<< /XObject << /F 10 0 R >> >>", objects);
    EXPECT_EQ(test::linesStartingWith(lines, "path").size(), size_t(kQXPDFMaxFormDepth));
    EXPECT_EQ(test::linesStartingWith(lines, "warning form").size(), 1u);
}

TEST(ParserRun, HostileNestingStaysBounded)
{
    // A long path under many saves: the path is shared, not copied per q,
    // and saves beyond the limit are counted so that the Qs still match.
    std::string content = "0 0 m";
    for (int i = 0; i < 50000; ++i)
        content += " 1 1 l";
    for (size_t i = 0; i < kQXPDFMaxStateDepth + 50; ++i)
        content += " q";
    content += " 3 w";
    for (size_t i = 0; i < kQXPDFMaxStateDepth + 50; ++i)
        content += " Q";
    content += " S";
    const auto lines = test::traceOf(content);
    ASSERT_EQ(test::linesStartingWith(lines, "path").size(), 1u);
    EXPECT_NE(lines[0].find("lw=1 "), std::string::npos);
    EXPECT_NE(lines[0].find("...+49977"), std::string::npos);
    EXPECT_EQ(test::linesStartingWith(lines, "warning stack").size(), 1u);

    // Clips beyond the limit are not added.
    std::string clips;
    for (size_t i = 0; i < kQXPDFMaxClipEntries + 5; ++i)
        clips += "0 0 9 9 re W n ";
    clips += "1 1 1 1 re f";
    const auto clipped = test::traceOf(clips);
    EXPECT_EQ(test::linesStartingWith(clipped, "path").size(), 1u);
    EXPECT_EQ(test::linesStartingWith(clipped, "warning content").size(), 5u);
}

TEST(ParserRun, AppearanceStreamsMapTheirBoxOntoTheAnnotationRectangle)
{
    // BBox 0 0 10 20 onto (100, 200, 50, 40): scale 5 by 2, then move.
    EXPECT_EQ(QXPDFConentParser::appearanceMatrix(Rect(0, 0, 10, 20), Affine::identity(), Rect(100, 200, 50, 40)),
              (Affine{5, 0, 0, 2, 100, 200}));
    // A box turned by its matrix is measured after turning.
    const Affine turned = QXPDFConentParser::appearanceMatrix(Rect(0, 0, 10, 20), Affine{0, 1, -1, 0, 0, 0},
                                                              Rect(100, 200, 40, 10));
    EXPECT_EQ(turned, (Affine{2, 0, 0, 1, 140, 200}));
    // No box: only the move.
    EXPECT_EQ(QXPDFConentParser::appearanceMatrix(Rect::null(), Affine::identity(), Rect(100, 200, 5, 5)),
              Affine::makeTranslation(100, 200));

    const auto doc = test::openFixture(fixturePdf(
        "", "<< /XObject << /Ap 5 0 R >> >>",
        {{5, "stream /Subtype /Form /BBox [0 0 10 20] /Matrix [1 0 0 1 0 0]\n0 0 10 20 re f"}}));
    const pdf::Object stream = doc->page(1).resources().get("XObject").get("Ap");
    test::CallbackDelegate trace;
    auto stack = std::make_shared<QXPDFRenderStateStack>();
    QXPDFConentParser parser(doc->page(1));
    parser.setDelegate(&trace);
    parser.setRenderingStateStack(stack);
    parser.setIsParserAnnots(0);
    parser.startParser();
    parser.drawAppearanceStream(stream, "Widget", Rect(100, 200, 50, 40), nullptr);
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{"path S=0 F=1 eo=0 frgb=0,0,0 d=\"M 100 200 L 150 200 "
                                                       "L 150 240 L 100 240 Z\" clip=100,200,50,40"}));
    EXPECT_EQ(stack->depth(), 1u);

    // An image appearance: its unit square fills the rectangle.
    const auto imageDoc = test::openFixture(fixturePdf(
        "", "<< /XObject << /Ap 5 0 R >> >>",
        {{5, "stream /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8\n\x80"}}));
    test::CallbackDelegate imageTrace;
    QXPDFConentParser imageParser(imageDoc->page(1));
    imageParser.setDelegate(&imageTrace);
    imageParser.setRenderingStateStack(stack);
    imageParser.setIsParserAnnots(0);
    imageParser.startParser();
    imageParser.drawAppearanceStream(imageDoc->page(1).resources().get("XObject").get("Ap"), "Stamp",
                                     Rect(100, 240, 50, -40), nullptr);
    const std::vector<std::string> lines = imageTrace.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("ctm=[50 0 0 40 100 200]"), std::string::npos) << lines[0];
    EXPECT_EQ(stack->depth(), 1u);
}

TEST(ParserXObjects, FormEntries)
{
    struct Case {
        const char* entries;
        long type;
        Affine matrix;
        Rect bbox;
    };
    const Case cases[] = {
        {"/BBox [10 20 110 220] /Matrix [2 0 0 2 5 5]", 1, {2, 0, 0, 2, 5, 5}, Rect(10, 20, 100, 200)},
        {"/FormType 2 /BBox [0 0 1 1] /Matrix [2 0 0 2 0 0]", 2, Affine::identity(), Rect::null()},
        {"/BBox [0 0 1 1] /Matrix [2 0 0 2 0]", 1, Affine::identity(), Rect(0, 0, 1, 1)},
        {"/Matrix [3 0 0 3 0 0]", 1, {3, 0, 0, 3, 0, 0}, Rect::null()},
    };
    for (const Case& c : cases) {
        const auto doc = test::openFixture(fixturePdf("", "<< /XObject << /F 5 0 R >> >>",
                                                      {{5, std::string("stream /Subtype /Form ") + c.entries + "\n"}}));
        const auto x = QXPDFXObject::XObjectWithObject(doc->page(1).resources().get("XObject").get("F"), "F");
        const auto* form = dynamic_cast<const QXPDFFormXObject*>(x.get());
        ASSERT_TRUE(form) << c.entries;
        EXPECT_EQ(form->formType(), c.type) << c.entries;
        EXPECT_EQ(form->matrix(), c.matrix) << c.entries;
        EXPECT_EQ(form->bbox(), c.bbox) << c.entries;
    }
}

TEST(ParserXObjects, TransparencyGroupAndUnknownSubtypes)
{
    const auto doc = test::openFixture(fixturePdf(
        "", "<< /XObject << /G 5 0 R /U 6 0 R >> /Properties << /MC0 << /Type /OCMD >> /MC1 << /PropertiesType 1 >> >> >>",
        {{5, "stream /Subtype /Form /BBox [0 0 1 1] /Group << /S /Transparency /CS /DeviceRGB /I true >>\n"},
         {6, "stream /Subtype /Foo\n"}}));
    const pdf::Object xobjects = doc->page(1).resources().get("XObject");
    const auto g = std::dynamic_pointer_cast<QXPDFFormXObject>(QXPDFXObject::XObjectWithObject(xobjects.get("G"), "G"));
    ASSERT_TRUE(g);
    EXPECT_TRUE(g->transpGroup());
    EXPECT_TRUE(g->isolated());
    EXPECT_FALSE(g->knockout());
    ASSERT_TRUE(g->blendingColorSpace());
    EXPECT_EQ(g->blendingColorSpace()->getMode(), QXPDFColorSpaceModeDeviceRGB);
    EXPECT_FALSE(QXPDFXObject::XObjectWithObject(xobjects.get("U"), "U"));

    const auto props = QXPDFConentParser::propertiesCollectionWithDict(doc->page(1).resources());
    EXPECT_FALSE(props->objectNamed("MC0"));
    EXPECT_EQ(props->collectObjects().size(), 1u);
}

TEST(ParserXObjects, CollectionKeepsTheFirst2401Entries)
{
    std::string dict = "<< /XObject << ";
    for (int i = 0; i < 3000; ++i)
        dict += "/I" + std::to_string(i) + " 5 0 R ";
    dict += ">> >>";
    const auto doc = test::openFixture(fixturePdf(
        "", dict, {{5, "stream /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8\nA"}}));
    const auto xobjects = QXPDFConentParser::xObjectCollectionWithDict(doc->page(1).resources());
    EXPECT_EQ(xobjects->xObjects().size(), kQXPDFMaxXObjectsPerCollection);
    EXPECT_TRUE(xobjects->xObjectWithNamed("I0"));
    EXPECT_FALSE(xobjects->xObjectWithNamed("I999")) << "keys sort as text: I999 comes late";
}

} // namespace
