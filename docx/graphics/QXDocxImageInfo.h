// The placement record of an image run: the image part it shows, the size
// and resolution of its file, and where its corners lie on the page.
#pragma once

#include "docx/layout/QXDocxRunPictInfo.h"
#include "platform/geometry/Geometry.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

namespace rz {

class QXDocxImageInfo : public QXDocxRunPictInfo {
public:
    QXDocxImageInfo() = default;

    // A copy of every field, the corners included.
    std::shared_ptr<QXDocxImageInfo> copyImageInfo() const { return std::make_shared<QXDocxImageInfo>(*this); }

    // The picture stands upright, unmirrored, in `box` (display space),
    // its file `pixelWidth` x `pixelHeight` pixels spread over the box.
    void placeUpright(const Rect& box, std::int32_t pixelWidth, std::int32_t pixelHeight)
    {
        setDisplayX(box.origin.x);
        setDisplayY(box.origin.y);
        setDisplayWidth(box.size.width);
        setDisplayHeight(box.size.height);
        setVertices({box.origin, Point{box.maxX(), box.origin.y}, Point{box.maxX(), box.maxY()},
                     Point{box.origin.x, box.maxY()}});
        setCenter(Point{box.midX(), box.midY()});
        setPixelWidth(pixelWidth);
        setPixelHeight(pixelHeight);
        setHorizontalResolution(box.size.width > 0 ? std::round(pixelWidth * 72.0 / box.size.width) : 72);
        setVerticalResolution(box.size.height > 0 ? std::round(pixelHeight * 72.0 / box.size.height) : 72);
        setFlipX(false);
        setFlipY(false);
        setRotation(0);
    }

    // Relationship id of the image part in the package.
    const std::string& imageID() const { return imageID_; }
    void setImageID(std::string value) { imageID_ = std::move(value); }
    const std::string& imageTitle() const { return imageTitle_; }
    void setImageTitle(std::string value) { imageTitle_ = std::move(value); }
    // Size of the image file in pixels.
    std::int32_t pixelWidth() const { return pixelWidth_; }
    void setPixelWidth(std::int32_t value) { pixelWidth_ = value; }
    std::int32_t pixelHeight() const { return pixelHeight_; }
    void setPixelHeight(std::int32_t value) { pixelHeight_ = value; }
    // Dots per inch of the image file.
    double horizontalResolution() const { return horizontalResolution_; }
    void setHorizontalResolution(double value) { horizontalResolution_ = value; }
    double verticalResolution() const { return verticalResolution_; }
    void setVerticalResolution(double value) { verticalResolution_ = value; }
    // Corners of the placed image in display space (the images of the unit
    // square's (0,0), (1,0), (1,1), (0,1)).
    const std::array<Point, 4>& vertices() const { return vertices_; }
    void setVertices(const std::array<Point, 4>& value) { vertices_ = value; }
    // Degrees.
    float rotation() const { return rotation_; }
    void setRotation(float value) { rotation_ = value; }
    Point center() const { return center_; }
    void setCenter(Point value) { center_ = value; }
    bool flipX() const { return flipX_; }
    void setFlipX(bool value) { flipX_ = value; }
    bool flipY() const { return flipY_; }
    void setFlipY(bool value) { flipY_ = value; }
    // 0 to 1; 0 in a new record, so creators always set it.
    float opacity() const { return opacity_; }
    void setOpacity(float value) { opacity_ = value; }

protected:
    std::shared_ptr<QXDocxRunPictInfo> makeEmpty() const override;

private:
    std::string imageID_;
    std::string imageTitle_;
    std::int32_t pixelWidth_ = 0;
    std::int32_t pixelHeight_ = 0;
    double horizontalResolution_ = 0;
    double verticalResolution_ = 0;
    std::array<Point, 4> vertices_{};
    float rotation_ = 0;
    Point center_;
    bool flipX_ = false;
    bool flipY_ = false;
    float opacity_ = 0;
};

} // namespace rz
