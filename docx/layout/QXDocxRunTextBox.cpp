#include "docx/layout/QXDocxRunTextBox.h"
#include "docx/layout/QXDocxRunTextPath.h"

#include <algorithm>
#include <array>

namespace rz {

namespace {

// The right angle a rotation counts for, by the open bands around 90, 180
// and 270 degrees; 0 for any other.
int rightAngleBucket(double rotation)
{
    if (rotation > 85 && rotation < 95)
        return 1;
    if (rotation > 175 && rotation < 185)
        return 2;
    if (rotation > 265 && rotation < 275)
        return 3;
    return 0;
}

} // namespace

QXDocxRunTextBox::QXDocxRunTextBox(const QXDocxRunTextBox& other)
    : QXDocxRunPict(other), paragraphArray_(other.paragraphArray_)
{
    if (other.pictInfo_)
        pictInfo_ = std::make_shared<QXDocxTextBoxInfo>(*other.pictInfo_);
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunTextBox::copy() const
{
    return std::make_shared<QXDocxRunTextBox>(*this);
}

Rect QXDocxRunTextBox::displayRect() const
{
    return pictInfo_ ? pictInfo_->textBoxRect() : Rect{};
}

QXDocxRunTextArray QXDocxRunTextBox::allRunTextArray() const
{
    QXDocxRunTextArray runs;
    for (const QXDocxParagraphPtr& paragraph : paragraphArray_) {
        QXDocxRunTextArray own = paragraph->allRunTextArray();
        runs.insert(runs.end(), own.begin(), own.end());
    }
    return runs;
}

std::int64_t QXDocxRunTextBox::RotationOfRunTextBoxArray(const std::vector<QXDocxRunTextBoxPtr>& boxes)
{
    if (boxes.empty())
        return 0;
    std::array<std::size_t, 4> counts{};
    for (const QXDocxRunTextBoxPtr& box : boxes)
        ++counts[rightAngleBucket(box->pictInfo() ? box->pictInfo()->rotation() : 0)];
    // The largest bucket; a later bucket wins a tie.
    int best = 0;
    for (int k = 1; k < 4; ++k)
        if (counts[k] >= counts[best])
            best = k;
    return counts[best] == 0 ? 0 : 90 * best;
}

std::shared_ptr<QXDocxRunPictInfo> QXDocxTextBoxInfo::makeEmpty() const
{
    return std::make_shared<QXDocxTextBoxInfo>();
}

QXDocxRunTextPath::QXDocxRunTextPath(const QXDocxRunTextPath& other) : QXDocxRunPict(other), runText_(other.runText_)
{
    if (other.pictInfo_)
        pictInfo_ = std::make_shared<QXDocxTextPathInfo>(*other.pictInfo_);
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunTextPath::copy() const
{
    return std::make_shared<QXDocxRunTextPath>(*this);
}

Rect QXDocxRunTextPath::displayRect() const
{
    return pictInfo_ ? Rect{pictInfo_->displayX(), pictInfo_->displayY(), pictInfo_->displayWidth(),
                            pictInfo_->displayHeight()}
                     : Rect{};
}

} // namespace rz
