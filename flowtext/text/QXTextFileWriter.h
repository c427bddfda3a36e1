// The plain-text file writer: UTF-8 without escaping; a line break is "\n",
// an indentation four spaces.
#pragma once

#include "flowtext/QXFlowFileWriter.h"

#include <memory>
#include <string>

namespace rz {

class QXTextFileWriter : public QXFlowFileWriter {
public:
    QXTextFileWriter() : QXFlowFileWriter("    ", "\n") {}
    // A writer of a new (or emptied) file; nullptr when it cannot be created.
    static std::shared_ptr<QXTextFileWriter> initWithPath(const std::string& path)
    {
        auto writer = std::make_shared<QXTextFileWriter>();
        if (!writer->openPath(path))
            return nullptr;
        return writer;
    }
};

} // namespace rz
