// Actions and explicit destinations as value classes: the types of an
// annotation's `action`, a widget's `pdfAction` and a link's `destination`.
// Annotation reading leaves those properties empty; links and outline
// items carry their targets in other forms (QXPDFOutLineManager).
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXPDFAction {
public:
    QXPDFAction() = default;
    // type = the action's /S name as text, empty when absent.
    explicit QXPDFAction(const pdf::Object& dictionary) { initWithPDFDictionary(dictionary); }
    virtual ~QXPDFAction() = default;

    void initWithPDFDictionary(const pdf::Object& dictionary);
    // A new action of the class its /S names (GoTo, GoToR, URI, Named,
    // ResetForm; the base class for others), carrying its type. Nothing
    // for a non-dictionary or a dictionary whose /Type is present and not
    // "Action".
    static std::shared_ptr<QXPDFAction> ActionWithDictionary(const pdf::Object& dictionary);
    // A new action of the same class carrying the type only.
    virtual std::shared_ptr<QXPDFAction> copy() const;

    const std::string& type() const { return type_; }
    void setType(std::string t) { type_ = std::move(t); }

protected:
    template <class T>
    std::shared_ptr<QXPDFAction> copyOfKind() const
    {
        auto a = std::make_shared<T>();
        a->setType(type_);
        return a;
    }

private:
    std::string type_;
};

// An explicit destination: a page, a point on it and a zoom.
class QXPDFDestination {
public:
    int pageIndex() const { return pageIndex_; }
    void setPageIndex(int v) { pageIndex_ = v; }
    Point point() const { return point_; }
    void setPoint(Point p) { point_ = p; }
    double zoom() const { return zoom_; }
    void setZoom(double v) { zoom_ = v; }

private:
    int pageIndex_ = 0;
    Point point_;
    double zoom_ = 0;
};

class QXPDFActionGoTo : public QXPDFAction {
public:
    using QXPDFAction::QXPDFAction;
    std::shared_ptr<QXPDFAction> copy() const override { return copyOfKind<QXPDFActionGoTo>(); }
    const std::shared_ptr<QXPDFDestination>& destination() const { return destination_; }
    void setDestination(std::shared_ptr<QXPDFDestination> d) { destination_ = std::move(d); }

private:
    std::shared_ptr<QXPDFDestination> destination_;
};

class QXQXPDFActionNamed : public QXPDFAction {
public:
    using QXPDFAction::QXPDFAction;
    std::shared_ptr<QXPDFAction> copy() const override { return copyOfKind<QXQXPDFActionNamed>(); }
    long name() const { return name_; }
    void setName(long v) { name_ = v; }

private:
    long name_ = 0;
};

class QXPDFActionURL : public QXPDFAction {
public:
    using QXPDFAction::QXPDFAction;
    std::shared_ptr<QXPDFAction> copy() const override { return copyOfKind<QXPDFActionURL>(); }
    const std::string& URL() const { return URL_; }
    void setURL(std::string u) { URL_ = std::move(u); }

private:
    std::string URL_;
};

class QXPDFActionActionRemoteGoTo : public QXPDFAction {
public:
    using QXPDFAction::QXPDFAction;
    std::shared_ptr<QXPDFAction> copy() const override { return copyOfKind<QXPDFActionActionRemoteGoTo>(); }
    unsigned long pageIndex() const { return pageIndex_; }
    void setPageIndex(unsigned long v) { pageIndex_ = v; }
    Point point() const { return point_; }
    void setPoint(Point p) { point_ = p; }
    const std::string& URL() const { return URL_; }
    void setURL(std::string u) { URL_ = std::move(u); }

private:
    unsigned long pageIndex_ = 0;
    Point point_;
    std::string URL_;
};

class QXPDFActionResetForm : public QXPDFAction {
public:
    using QXPDFAction::QXPDFAction;
    std::shared_ptr<QXPDFAction> copy() const override { return copyOfKind<QXPDFActionResetForm>(); }
    const std::vector<std::string>& fields() const { return fields_; }
    void setFields(std::vector<std::string> f) { fields_ = std::move(f); }
    bool fieldsIncludedAreCleared() const { return fieldsIncludedAreCleared_; }
    void setFieldsIncludedAreCleared(bool v) { fieldsIncludedAreCleared_ = v; }

private:
    std::vector<std::string> fields_;
    bool fieldsIncludedAreCleared_ = false;
};

} // namespace rz
