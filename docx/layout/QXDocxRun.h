// The base of every run on a DOCX page (text runs, tab runs, drawings,
// tables): its run properties, where it lies in display space, its place in
// the page's drawing order and where it came from (an annotation, a
// soft-mask group).
#pragma once

#include "converter/QXPDF_CTMInfo.h"
#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/QXDocxWriterObject.h"
#include "platform/geometry/Geometry.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace rz {

class QXDocxRun : public QXDocxWriterObject {
public:
    // The index kept beside pdfScanIndex while it was never set explicitly.
    static constexpr std::uint64_t kNoScanIndex = ~std::uint64_t{0};

    QXDocxRun();
    QXDocxRun(const QXDocxRun&) = default;
    QXDocxRun& operator=(const QXDocxRun&) = default;
    ~QXDocxRun() override = default;

    // The base writes nothing.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    std::shared_ptr<QXDocxWriterObject> copy() const override;

    // Where the run lies in display space; the zero rectangle in the base.
    virtual Rect displayRect() const;

    std::uint64_t pdfScanIndex_orignal() const { return pdfScanIndex_orignal_; }
    void setPdfScanIndex_orignal(std::uint64_t index) { pdfScanIndex_orignal_ = index; }
    std::uint64_t pdfScanIndex() const { return pdfScanIndex_; }
    // Also moves pdfScanIndex_orignal along once it has been set explicitly.
    void setPdfScanIndex(std::uint64_t index);
    std::uint64_t pdfScanLength() const { return pdfScanLength_; }
    void setPdfScanLength(std::uint64_t length) { pdfScanLength_ = length; }
    const QXDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(const QXDocx_RPr& property) { rProperty_ = property; }
    const QXPDF_CTMInfo& ctmInfo() const { return ctmInfo_; }
    void setCtmInfo(const QXPDF_CTMInfo& info) { ctmInfo_ = info; }
    bool isExtGStateSMask() const { return isExtGStateSMask_; }
    void setIsExtGStateSMask(bool value) { isExtGStateSMask_ = value; }
    bool isAnnotion() const { return isAnnotion_; }
    void setIsAnnotion(bool value) { isAnnotion_ = value; }
    std::int64_t pdfAnnotionIndex() const { return pdfAnnotionIndex_; }
    void setPdfAnnotionIndex(std::int64_t index) { pdfAnnotionIndex_ = index; }

    // True when the other run's drawing index equals this run's or is one
    // next to it.
    bool isPDFScanIndexContinue(const QXDocxRun& other) const;

    // The class operations take arrays of shared pointers to any kind of
    // run. Sorting is stable, by pdfScanIndex ascending.
    template <class RunPtr>
    static void SortRunArrayByPDFScanIndex(std::vector<RunPtr>& runs)
    {
        std::stable_sort(runs.begin(), runs.end(), [](const RunPtr& a, const RunPtr& b) {
            return a->pdfScanIndex() < b->pdfScanIndex();
        });
    }

    // Sorts the array in place; true when every index is the previous one
    // plus 1 (true for an empty array, false for two equal indices).
    template <class RunPtr>
    static bool IsPDFScanIndexContinue(std::vector<RunPtr>& runs)
    {
        SortRunArrayByPDFScanIndex(runs);
        for (std::size_t i = 1; i < runs.size(); ++i) {
            if (runs[i]->pdfScanIndex() != runs[i - 1]->pdfScanIndex() + 1)
                return false;
        }
        return true;
    }

    // Sorts the array in place, then renumbers the runs 0, 1, 2 ... in that
    // order, each covering one index.
    template <class RunPtr>
    static void UpdateRunArrayPDFScanIndex(std::vector<RunPtr>& runs)
    {
        SortRunArrayByPDFScanIndex(runs);
        std::uint64_t index = 0;
        for (const RunPtr& run : runs) {
            run->setPdfScanIndex(index++);
            run->setPdfScanLength(1);
        }
    }

    // The run with the largest drawing index (the first of equal ones);
    // nullptr for an empty array.
    template <class RunPtr>
    static RunPtr FindMaxPDFScanIndex(const std::vector<RunPtr>& runs)
    {
        if (runs.empty())
            return nullptr;
        RunPtr found = runs.front();
        for (const RunPtr& run : runs) {
            if (run->pdfScanIndex() > found->pdfScanIndex())
                found = run;
        }
        return found;
    }

private:
    std::uint64_t pdfScanIndex_orignal_ = kNoScanIndex;
    std::uint64_t pdfScanIndex_ = 0;
    std::uint64_t pdfScanLength_ = 1;
    QXDocx_RPr rProperty_;
    QXPDF_CTMInfo ctmInfo_;
    bool isExtGStateSMask_ = false;
    bool isAnnotion_ = false;
    std::int64_t pdfAnnotionIndex_ = 0;
};

} // namespace rz
