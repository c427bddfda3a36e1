// Every colour space and function that the pages of the shared corpus name
// in their resources (colour spaces, images, shadings, shading patterns,
// and the same inside forms) is read and converted without failing.
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFFunction.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <unordered_set>

using namespace rz;

namespace {

struct Walker {
    std::map<std::string, int> modes; // mode name -> spaces read
    int functions = 0;
    std::unordered_set<pdf::Object, pdf::ObjectIdentityHash, pdf::ObjectIdentityEqual> seen;

    void space(const pdf::Object& object)
    {
        const auto cs = QXPDFColorSpace::ColorSpaceWithObject(object, "corpus");
        if (!cs)
            return;
        ++modes[cs->getModeName()];
        QXPDFColor color = cs->getDefaultColor();
        for (int v : {0, 128, 255, 400}) {
            color.c.fill(v);
            const QXPDFRGB rgb = cs->getRGB(color);
            for (int c : {int(rgb.r), int(rgb.g), int(rgb.b), int(cs->getGray(color))})
                EXPECT_TRUE(c >= 0 && c <= 255) << object.unparse();
            cs->getCMYK(color);
            cs->getDeviceN(color);
        }
        if (const auto cg = cs->CGColorSpace()) {
            const std::vector<std::uint8_t> samples(cg->numberOfComponents() * 4, 200);
            std::vector<std::uint8_t> rgb(12);
            cg->convertRow8ToRGB8(samples.data(), 4, rgb.data());
        }
        cs->copy();
    }

    void function(const pdf::Object& object)
    {
        const auto fn = QXPDFFunction::FuntionWithObject(object);
        if (!fn)
            return;
        ++functions;
        double in[kQXPDFMaxFunctionValues] = {};
        double out[kQXPDFMaxFunctionValues];
        for (double x : {-1.0, 0.0, 0.3, 1.0, 2.0}) {
            std::fill(in, in + kQXPDFMaxFunctionValues, x);
            fn->transformInput(in, out);
        }
    }

    void shading(const pdf::Object& sh)
    {
        space(sh.get("ColorSpace"));
        const pdf::Object fn = sh.get("Function");
        if (fn.isArray())
            for (size_t i = 0; i < fn.size(); ++i)
                function(fn.at(i));
        else
            function(fn);
    }

    void resources(const pdf::Object& res, int depth)
    {
        if (!res.isDictionary() || depth > 4 || !seen.insert(res).second)
            return;
        const pdf::Object spaces = res.get("ColorSpace");
        for (const auto& key : spaces.keys())
            space(spaces.get(key));
        const pdf::Object shadings = res.get("Shading");
        for (const auto& key : shadings.keys())
            shading(shadings.get(key));
        const pdf::Object patterns = res.get("Pattern");
        for (const auto& key : patterns.keys()) {
            const pdf::Object p = patterns.get(key);
            if (p.get("PatternType").integer() == 2)
                shading(p.get("Shading"));
            else
                resources(p.get("Resources"), depth + 1);
        }
        const pdf::Object xobjects = res.get("XObject");
        for (const auto& key : xobjects.keys()) {
            const pdf::Object x = xobjects.get(key);
            if (x.get("Subtype").name() == "Image")
                space(x.get("ColorSpace"));
            else
                resources(x.get("Resources"), depth + 1);
        }
    }
};

} // namespace

TEST(CorpusColor, EveryNamedSpaceAndFunctionConverts)
{
    const std::string dir = test::corpusDir();
    if (dir.empty())
        GTEST_SKIP() << "no corpus";
    Walker walker;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".pdf")
            continue;
        const auto doc = pdf::Document::open(entry.path().string());
        if (!doc || !doc->isUnlocked())
            continue;
        for (int p = 1; p <= doc->pageCount(); ++p)
            walker.resources(doc->page(p).resources(), 0);
    }
    std::string summary;
    for (const auto& [mode, count] : walker.modes)
        summary += mode + " " + std::to_string(count) + "; ";
    RecordProperty("spaces", summary);
    // The corpus names ICC-based and Separation spaces and shading functions.
    EXPECT_GT(walker.modes["ICCBased"], 0) << summary;
    EXPECT_GT(walker.modes["Separation"], 0) << summary;
    EXPECT_GT(walker.functions, 0) << summary;
}
