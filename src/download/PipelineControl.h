#pragma once
// What a download's pipeline (AlbumPipeline) asks of the download it runs for.

#include <QString>

namespace pictrove {

// Called from any of the pipeline's threads.
class PipelineControl {
public:
    virtual ~PipelineControl() = default;
    virtual bool stopRequested() const = 0;
    // The disk is full: the run must stop.
    virtual void requestStop() = 0;
    virtual void pause(int milliseconds) = 0;
    // A picture of the album in `folder` was handed to a worker; empty: the run ended.
    virtual void transferring(const QString &folder) = 0;
};

}  // namespace pictrove
