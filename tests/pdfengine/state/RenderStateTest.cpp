// The render state, its stack, clip entries and named graphics states.
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/state/QXPDFExtGState.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

using namespace rz;

namespace {

// The ExtGState of the given dictionary syntax (object 5 of a small document).
QXPDFExtGState extGState(const std::string& body, std::shared_ptr<pdf::Document>* keep)
{
    test::PdfWriter w;
    w.set(1, "<< /Type /Catalog /Pages 2 0 R /X 5 0 R >>");
    w.set(2, "<< /Type /Pages /Kids [] /Count 0 >>");
    w.set(5, body);
    w.setStream(6, "/Subtype /Form /BBox [0 0 1 1]", "0 0 1 1 re f");
    *keep = pdf::Document::openData(w.build(1));
    return QXPDFExtGState((*keep)->catalog().get("X"), "GS0");
}

TEST(ParserRenderState, NewStateDrawsInOpaqueBlackWithUnitLines)
{
    const QXPDFRenderState st;
    EXPECT_EQ(st.currentStrokeRGBColor(), (QXPDFRGB{0, 0, 0}));
    EXPECT_EQ(st.currentFillRGBColor(), (QXPDFRGB{0, 0, 0}));
    EXPECT_EQ(st.currentStrokeColor(), (RGBAColor{0, 0, 0, 1}));
    EXPECT_EQ(st.strokeColorSpace()->getMode(), QXPDFColorSpaceModeDeviceRGB);
    EXPECT_EQ(st.fillColorSpace()->objectKey(), "QXPDFRenderState init");
    EXPECT_EQ(st.fillColor().c[3], 0);
    EXPECT_EQ(st.fillColor().c[4], 255);
    EXPECT_EQ(st.lineWidth(), 1.0);
    EXPECT_EQ(st.lineFlatness(), double(0.6f));
    EXPECT_EQ(st.horizontalScaling(), 1.0);

    QXPDFRenderState none;
    none.setFillColorSpace(nullptr);
    EXPECT_EQ(none.currentFillColor(), (RGBAColor{0, 0, 0, 1}));
    EXPECT_EQ(none.currentFillRGBColor(), (QXPDFRGB{0, 0, 0}));
}

TEST(ParserRenderState, CopyKeepsEverythingButTheAlphaFlag)
{
    QXPDFRenderState st;
    st.setAlphaFlag(false);
    st.setLineWidth(3);
    st.mutableCgPath().moveTo({1, 2});
    st.clipState([] {
        Path p;
        p.addRect({0, 0, 5, 5});
        return p;
    }(), QXPDFClipTypeEvenOdd);
    const auto copy = st.copy();
    EXPECT_TRUE(copy->alphaFlag());
    EXPECT_EQ(copy->lineWidth(), 3);
    EXPECT_EQ(copy->clipBezierPaths().size(), 1u);
    EXPECT_EQ(copy->clipBezierPaths()[0], st.clipBezierPaths()[0]);
    copy->mutableCgPath().lineTo({5, 5});
    EXPECT_EQ(st.cgPath().elements().size(), 1u) << "the copy owns its path";
}

TEST(ParserRenderState, ClipStateIgnoresKindZeroAndEmptyPaths)
{
    QXPDFRenderState st;
    Path square;
    square.addRect({0, 0, 10, 10});
    st.clipState(square, QXPDFClipTypeNone);
    st.clipState(Path(), QXPDFClipTypeNonZero);
    EXPECT_TRUE(st.clipBezierPaths().empty());
    st.clipState(square, QXPDFClipTypeNonZero);
    ASSERT_EQ(st.clipBezierPaths().size(), 1u);
    EXPECT_EQ(st.clipBezierPaths()[0]->clipType(), QXPDFClipTypeNonZero);
    EXPECT_EQ(st.clipBezierPaths()[0]->path(), square);
}

TEST(ParserRenderState, TextMatrixOperations)
{
    QXPDFRenderState st;
    st.setTextMatrix(true, Affine{2, 0, 0, 2, 10, 20});
    st.translateTextPosition(5, 0);
    EXPECT_EQ(st.textMatrix(), (Affine{2, 0, 0, 2, 20, 20}));
    EXPECT_EQ(st.lineMatrix(), (Affine{2, 0, 0, 2, 10, 20}));
    st.newLineWithLeading(-6, 1, true);
    EXPECT_EQ(st.leading(), 6);
    EXPECT_EQ(st.textMatrix(), (Affine{2, 0, 0, 2, 12, 8}));
    st.newLine();
    EXPECT_EQ(st.textMatrix(), (Affine{2, 0, 0, 2, 12, -4}));
}

TEST(ParserRenderState, TransformedFontSizeIsALengthWhateverTheSizeSign)
{
    QXPDFRenderState st;
    st.setTextMatrix(true, Affine{0, 3, -4, 0, 10, 20}); // y axis 4 long
    for (const double size : {12.0, -12.0}) {
        st.setFontSize(size);
        EXPECT_EQ(st.getTransformedFontSize(), 48) << size;
    }
}

TEST(ParserRenderStateStack, PushCopiesPopRestoresAndEmptyStackIsSafe)
{
    QXPDFRenderStateStack stack;
    EXPECT_EQ(stack.depth(), 1u);
    stack.topRenderingState().setLineWidth(2);
    stack.pushRenderingState().setLineWidth(5);
    EXPECT_EQ(stack.depth(), 2u);
    EXPECT_EQ(stack.popRenderingState()->lineWidth(), 5);
    EXPECT_EQ(stack.topRenderingState().lineWidth(), 2);

    stack.popRenderingState();
    EXPECT_EQ(stack.popRenderingState(), nullptr);
    EXPECT_EQ(stack.depth(), 0u);
    EXPECT_EQ(stack.topRenderingState().lineWidth(), 1) << "an empty stack supplies a default state";
    EXPECT_EQ(stack.depth(), 1u);
}

TEST(ParserExtGState, BlendModes)
{
    struct Case {
        const char* bm;
        std::optional<int> mode;
    };
    const Case cases[] = {
        {"/Multiply", 1}, {"[/Foo /Screen]", 2}, {"[/Foo]", 0}, {"/Foo", std::nullopt},
        {"/Compatible", 0}, {"/Luminosity", 15}, {"[/Foo 3]", std::nullopt}, {"7", std::nullopt},
    };
    for (const Case& c : cases) {
        std::shared_ptr<pdf::Document> doc;
        const QXPDFExtGState gs = extGState(std::string("<< /BM ") + c.bm + " >>", &doc);
        EXPECT_EQ(gs.gStateValue().BM, c.mode) << c.bm;
    }
}

TEST(ParserExtGState, DashKeepsThePhaseAndSoftMaskNoneClearsTheMask)
{
    std::shared_ptr<pdf::Document> doc;
    const QXPDFExtGState gs =
        extGState("<< /D [[3 2] 1] /LW 2.5 /CA 0.3 /SMask /None /OP true /OPM 1 >>", &doc);
    EXPECT_EQ(gs.objectKey(), "GS0");
    EXPECT_EQ(gs.gStateValue().D, (std::vector<double>{3, 2}));
    EXPECT_EQ(gs.gStateValue().SMaskName, "None");
    EXPECT_EQ(gs.gStateValue().SMaskHaveSoftMask, false);

    QXPDFRenderState st;
    st.setLineDashPhase(7);
    st.setHaveSoftMask(true);
    st.setGraphicState(gs);
    EXPECT_EQ(st.lineDashPattern(), (std::vector<double>{3, 2}));
    EXPECT_EQ(st.lineDashPhase(), 7);
    EXPECT_EQ(st.lineWidth(), 2.5);
    EXPECT_EQ(st.strokeAlpha(), double(0.3f));
    EXPECT_EQ(st.fillAlpha(), 1.0);
    EXPECT_FALSE(st.haveSoftMask());
    EXPECT_TRUE(st.strokeOverprint());
    EXPECT_EQ(st.overprintMode(), 1);
}

TEST(ParserExtGState, SoftMaskGroupBecomesAFormNamedAfterTheResource)
{
    std::shared_ptr<pdf::Document> doc;
    const QXPDFExtGState gs = extGState("<< /SMask << /S /Luminosity /G 6 0 R /BC [0 1] >> >>", &doc);
    const auto& v = gs.gStateValue();
    ASSERT_TRUE(v.SMaskXObject);
    EXPECT_EQ(v.SMaskXObject->getType(), QXPDFXObjectTypeForm);
    EXPECT_EQ(v.SMaskXObject->objectID(), "SMask-XObject-GS0");
    EXPECT_EQ(v.SMaskBC, (std::vector<double>{0, 1}));
    QXPDFRenderState st;
    st.setGraphicState(gs);
    EXPECT_TRUE(st.haveSoftMask());
    EXPECT_EQ(st.softMaskBlendMode(), kQXPDFSoftMaskLuminosity);
}

} // namespace
