// A tab run of a paragraph: the tab stop it needs (position from the
// paragraph's left) and the width it covers.
#pragma once

#include "docx/layout/QXDocxRun.h"

#include <memory>
#include <string>

namespace rz {

class QXDocxRunTab : public QXDocxRun {
public:
    QXDocxRunTab() = default;
    QXDocxRunTab(double tabPostion, double tabWidth) : tabPostion_(tabPostion), tabWidth_(tabWidth) {}

    static std::shared_ptr<QXDocxRunTab> RunTapWithTabPostion(double tabPostion, double tabWidth);

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    double tabPostion() const { return tabPostion_; }
    void setTabPostion(double position) { tabPostion_ = position; }
    double tabWidth() const { return tabWidth_; }
    void setTabWidth(double width) { tabWidth_ = width; }

    // "<QXDocxRunTab: 0x...: position width>".
    std::string description() const;

    // The paragraph's tab stop: w:tab with w:val "left" and w:pos in
    // twentieths of a point (0 for a position that is not finite).
    void writeTabPropertyWithXMLWriter(XMLFileWriter& writer) const;
    // The run: w:r holding the run properties and an empty w:tab.
    void writeWithXMLWriter(XMLFileWriter& writer) override;

private:
    double tabPostion_ = 0;  // points from the paragraph's left
    double tabWidth_ = 0;    // points
};

} // namespace rz
