// A block of text lines the page treats as one unit: the vertical white
// gutters that run through every line of the block (space columns), the
// column groups cut along them, and the tidying of both (gutters that do
// not separate real columns, narrow columns, blank columns). The page makes
// one section per block. The class operations decide which neighbouring
// blocks merge into one. Geometry is in display space (points, y down).
#pragma once

#include "docx/layout/QXDocxRunTextLine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxRunTextColum;
using QXDocxRunTextColumPtr = std::shared_ptr<QXDocxRunTextColum>;
using QXDocxRunTextColumArray = std::vector<QXDocxRunTextColumPtr>;

class QXDocxRunTextColum {
public:
    // Zero frame, no lines, no space columns, no groups, column mode on.
    QXDocxRunTextColum() = default;
    // Frame, indices and mode copied; the line list copied and analysed
    // again; then the space columns and groups replaced by copies of the
    // other's.
    QXDocxRunTextColum(const QXDocxRunTextColum& other);
    QXDocxRunTextColum& operator=(const QXDocxRunTextColum&) = delete;

    // A new block of these lines (in the given order) analysed in the mode.
    static QXDocxRunTextColumPtr CreateRunTextColum(const QXDocxRunTextLineArray& lines, bool columnMode);

    // --- Fields ---
    std::uint64_t minPDFScanIndex() const { return minPDFScanIndex_; }
    std::uint64_t maxPDFScanIndex() const { return maxPDFScanIndex_; }
    const QXDocxRunTextLineArray& lineArray() const { return lineArray_; }
    // Adopts the lines and analyses them: frame, index range and, in column
    // mode, the space columns. Nothing more for an empty list.
    void setLineArray(QXDocxRunTextLineArray lines);
    // The gutters, left to right.
    const std::vector<Rect>& spaceColumArray() const { return spaceColumArray_; }
    const Rect& columGroupFrame() const { return columGroupFrame_; }
    void setColumGroupFrame(const Rect& frame) { columGroupFrame_ = frame; }
    // The column groups, left to right.
    const std::vector<QXDocxRunTextLineArray>& columGroupArray() const { return columGroupArray_; }
    void setColumGroupArray(std::vector<QXDocxRunTextLineArray> groups) { columGroupArray_ = std::move(groups); }
    bool isColumnMode() const { return isColumnMode_; }
    void setIsColumnMode(bool value) { isColumnMode_ = value; }

    // --- Operations ---

    // Frame (union of the line frames) and drawing index range of the lines.
    void _updateColumInfo(const QXDocxRunTextLineArray& lines);
    // Cuts the lines into groups along the space columns, unless there are
    // groups already.
    void createColumGroup();
    // Drops gutters that separate nothing, single-line look-alikes and
    // narrow columns; empties the groups when any was dropped.
    void optimizeColumnSpaces();
    // Removes the groups made of blank lines only.
    void optimizeColumnGroups();
    // Groups narrower than the narrow-column width (with more than one group).
    std::vector<QXDocxRunTextLineArray> findSmallWidthColumns() const;
    // Groups whose lines are all blank (with more than one group).
    std::vector<QXDocxRunTextLineArray> findBankSpaceColumns() const;
    // The space to keep below the block (points).
    double bottomNeedSpace() const;
    // True unless some group's run texts, in drawing order, skip an index.
    // Builds the groups first when there are none.
    bool isPDFScanIndexContinuousRunTextInEveryColum();
    // "<QXDocxRunTextColum: …>" for debugging.
    std::string description() const;

    // --- Class operations ---

    // The smallest minPDFScanIndex of the lines (the largest value for none).
    static std::uint64_t minPDFScanIndex(const QXDocxRunTextLineArray& lines);
    // The largest maxPDFScanIndex of the lines (0 for none).
    static std::uint64_t maxPDFScanIndex(const QXDocxRunTextLineArray& lines);
    // True when some line of one group shares part of its vertical extent
    // with a line of the other; false when either is empty.
    static bool ColumIntersectLineArrayA(const QXDocxRunTextLineArray& a, const QXDocxRunTextLineArray& b);
    // True when one group is a single line matched by exactly one line of
    // the other (same place, top and height within 2 points).
    static bool IsSingleColumLineArrayA(const QXDocxRunTextLineArray& a, const QXDocxRunTextLineArray& b);
    // The leading blocks (the first always) that can merge with the first.
    static QXDocxRunTextColumArray FindMergeRunTextColumArray(const QXDocxRunTextColumArray& columns);
    // The page's blocks (one per band of lines, top to bottom) with runs of
    // consecutive blocks that read as one multi-column block joined into
    // one block each (in column mode). From each start the joined block
    // grows one band at a time while the grown block keeps at least the
    // gutters of the block so far and of the new band, and either keeps
    // their number, lies within 1.5 facing line heights (at least 5 points)
    // and reads in drawing order in every column, or gains gutters and lies
    // that close and, when a band follows, no farther from the new band than
    // the new band from the next. It stops at the first band refused; the
    // next start is the band after. A block that joins nothing is returned
    // as it is.
    static QXDocxRunTextColumArray JoinRunTextColumArray(const QXDocxRunTextColumArray& columns);
    // Repeatedly takes FindMergeRunTextColumArray off the front: a run of
    // several blocks becomes one block of all their lines (column mode), a
    // single block stays as it is.
    static QXDocxRunTextColumArray MergeRunTextColumArray(const QXDocxRunTextColumArray& columns);

private:
    std::uint64_t minPDFScanIndex_ = 0;
    std::uint64_t maxPDFScanIndex_ = 0;
    QXDocxRunTextLineArray lineArray_;
    std::vector<Rect> spaceColumArray_;
    Rect columGroupFrame_;
    std::vector<QXDocxRunTextLineArray> columGroupArray_;
    bool isColumnMode_ = true;
};

} // namespace rz
