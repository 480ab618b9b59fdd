// The platform's multimedia streaming, shaped like DirectShow's multimedia streams: a filter
// graph with its media control (run, pause, stop), seeking (stop and current position) and
// basic audio (volume), and a multimedia stream opened for reading on that graph whose primary
// video stream renders frames into DirectDraw surfaces (ddraw.h) through stream samples, while
// its primary audio stream plays through a secondary buffer of the sound layer (dsound.h).
// Files are demultiplexed and decoded with FFmpeg.
//
// Time. Stream times are in units of 100 ns. A running stream's time follows the platform
// clock (clock.h: deterministic under the virtual clock) from the moment it was set running;
// pausing or stopping holds it, running again goes on from there, a seek moves it.
//
// Frames. A video frame is due once the stream time has reached its presentation time. An
// update of a sample puts the newest due frame that was not shown yet into the sample's
// surface (older ones are skipped), converted with libswscale into the surface's format:
//  - synchronous (flags 0): a due frame, or when none is due yet the next frame at once, and
//    MS_OK; MS_S_ENDOFSTREAM when no frame is left;
//  - asynchronous (SSUPDATE_ASYNC with an event): a due frame at once (MS_OK, the event is not
//    touched); otherwise MS_S_PENDING: the update stays outstanding until CompletionStatus
//    finds its frame due (MS_OK) or the stream at its end (MS_S_ENDOFSTREAM); either sets the
//    event. The stream's end is its stop position, reached once every frame was shown.
// Nothing runs on a thread of its own: frames are decoded in these calls.
//
// Audio. The first audio stream of the file is decoded whole at open and resampled with
// libswresample to 16-bit stereo at 44100 Hz into one secondary buffer of a sound device of
// the stream's own (the default renderer), which plays while the stream runs, from the
// stream time's place. A file without audio has no audio stream; that is not an error.
//
// Overlay surfaces are not offered. Objects are reference-counted (creation hands out one
// reference; an interface obtained from another holds one on its source). Not thread-safe:
// the library calls the layer under its own lock.
#pragma once
#include <cstdint>

#include "platform/ddraw/ddraw.h"

namespace plat {

struct Event;
class IDirectSound;

// ---- results --------------------------------------------------------------------------------
using MSResult = int32_t;
inline constexpr MSResult MS_OK = 0;
inline constexpr MSResult MS_S_PENDING = 0x40001;
inline constexpr MSResult MS_S_NOUPDATE = 0x40002;      // CompletionStatus without an update
inline constexpr MSResult MS_S_ENDOFSTREAM = 0x40003;
inline constexpr MSResult MS_E_FAIL = -1;
inline constexpr MSResult MS_E_INVALIDARG = -2;
inline constexpr MSResult MS_E_NOTINIT = -3;             // not initialised, or no file open
inline constexpr MSResult MS_E_ALREADYINIT = -4;
inline constexpr MSResult MS_E_NOSTREAM = -5;            // no stream of that purpose
inline constexpr MSResult MS_E_CANNOTOPEN = -6;          // the file cannot be opened or played
inline constexpr MSResult MS_E_BADFORMAT = -7;           // a surface format the stream cannot fill
inline constexpr MSResult MS_E_BUSY = -8;                // an update is already outstanding
inline constexpr MSResult MS_E_NOSURFACE = -9;           // the surface could not be made or locked
inline constexpr MSResult MS_E_OUTOFMEMORY = -10;

inline constexpr bool MSSucceeded(MSResult result) { return result >= 0; }

// ---- values -----------------------------------------------------------------------------------
inline constexpr int32_t STREAMTYPE_READ = 0;
inline constexpr uint32_t AMMSF_NOGRAPHTHREAD = 0x1;
inline constexpr uint32_t AMMSF_ADDDEFAULTRENDERER = 0x1;  // AddMediaStream of the audio purpose
enum class StreamPurpose { Video, Audio };
enum class StreamState { Stop = 0, Run = 1 };
// DirectDrawMediaStream::CreateSample flags.
inline constexpr uint32_t DDSFF_PROGRESSIVERENDER = 0x1;
// Sample Update flags.
inline constexpr uint32_t SSUPDATE_ASYNC = 0x1;
// CompletionStatus flags: end the outstanding update without a frame.
inline constexpr uint32_t COMPSTAT_ABORT = 0x4;
// Seeking: SetPositions flags.
inline constexpr uint32_t AM_SEEKING_NoPositioning = 0x0;
inline constexpr uint32_t AM_SEEKING_AbsolutePositioning = 0x1;
// 100 ns units per second.
inline constexpr int64_t kStreamTimeUnits = 10000000;

// ---- the filter graph ------------------------------------------------------------------------
class MediaControl {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // The graph's streams run (their time moves), pause or stop (time held).
    virtual MSResult Run() = 0;
    virtual MSResult Pause() = 0;
    virtual MSResult Stop() = 0;

protected:
    virtual ~MediaControl() = default;
};

class MediaSeeking {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // The position the streams end at (the longest stream's duration unless set).
    virtual MSResult GetStopPosition(int64_t* out) = 0;
    // The stream time now.
    virtual MSResult GetCurrentPosition(int64_t* out) = 0;
    // Moves the current position (AM_SEEKING_AbsolutePositioning) and/or the stop position.
    virtual MSResult SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop,
                                  uint32_t stopFlags) = 0;

protected:
    virtual ~MediaSeeking() = default;
};

class BasicAudio {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // Hundredths of a decibel, -10000..0. MS_E_NOSTREAM when the graph plays no audio.
    virtual MSResult put_Volume(int32_t volume) = 0;
    virtual MSResult get_Volume(int32_t* out) = 0;

protected:
    virtual ~BasicAudio() = default;
};

class GraphBuilder {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    virtual MSResult QueryMediaControl(MediaControl** out) = 0;
    virtual MSResult QueryMediaSeeking(MediaSeeking** out) = 0;
    virtual MSResult QueryBasicAudio(BasicAudio** out) = 0;

protected:
    virtual ~GraphBuilder() = default;
};

// ---- streams and samples ---------------------------------------------------------------------
class DirectDrawStreamSample;

class MediaStream {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    virtual StreamPurpose Purpose() = 0;

protected:
    virtual ~MediaStream() = default;
};

class DirectDrawMediaStream : public MediaStream {
public:
    // The frame size and the surface description the stream fills best (an off-screen plain
    // surface of the frame's size in the DirectDraw object's display format). MS_E_NOTINIT
    // before a file is open.
    virtual MSResult GetFormat(SurfaceDesc* out) = 0;
    // Time from one frame to the next (100 ns).
    virtual MSResult GetTimePerFrame(int64_t* out) = 0;
    // A sample that renders into rect (null: the whole surface) of surface (a reference is
    // taken), or, with surface null, into a surface the stream makes in system memory in the
    // display format. MS_E_BADFORMAT for a surface format the stream cannot fill (RGB 16, 24
    // or 32 bits only) or a rectangle of another size than the frame.
    virtual MSResult CreateSample(DrawSurface* surface, const Rect* rect, uint32_t flags,
                                  DirectDrawStreamSample** out) = 0;
};

class DirectDrawStreamSample {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // The surface (a new reference) and the rectangle the frames go to; either may be null.
    virtual MSResult GetSurface(DrawSurface** surface, Rect* rect) = 0;
    // See the header's comment. MS_E_BUSY while an asynchronous update is outstanding,
    // MS_E_INVALIDARG for SSUPDATE_ASYNC without an event, MS_E_NOSURFACE when the surface
    // cannot be locked.
    virtual MSResult Update(uint32_t flags, Event* event) = 0;
    // The outstanding update: MS_OK or MS_S_ENDOFSTREAM once it completed (here or before),
    // MS_S_PENDING while it waits, MS_S_NOUPDATE when there is none. Waits up to ms
    // milliseconds on the platform clock for it. COMPSTAT_ABORT ends an outstanding update
    // without a frame (the event is not set) and gives MS_S_NOUPDATE.
    virtual MSResult CompletionStatus(uint32_t flags, uint32_t ms) = 0;

protected:
    virtual ~DirectDrawStreamSample() = default;
};

class MultiMediaStream {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // STREAMTYPE_READ only. Plays on graph (a reference is taken); null makes a graph of its
    // own. MS_E_ALREADYINIT the second time.
    virtual MSResult Initialize(int32_t streamType, uint32_t flags, GraphBuilder* graph) = 0;
    // The primary video stream renders with directDraw (a reference is taken; null: an object
    // of the stream's own).
    virtual MSResult AddPrimaryVideoStream(DirectDraw* directDraw) = 0;
    // The primary audio stream with the default renderer (AMMSF_ADDDEFAULTRENDERER).
    virtual MSResult AddPrimaryAudioStream(uint32_t flags) = 0;
    // Opens a file by its path as the library holds it (Shift-JIS, '\\' or '/'; plain local
    // files only). MS_E_CANNOTOPEN when FFmpeg cannot open it, or when a video stream was
    // added and the file has none whose first frame decodes.
    virtual MSResult OpenFile(const char* path) = 0;
    // The stream of that purpose (a new reference); MS_E_NOSTREAM.
    virtual MSResult GetMediaStream(StreamPurpose purpose, MediaStream** out) = 0;
    // Runs or stops the stream's time (and the audio); the graph's MediaControl does the same.
    virtual MSResult SetState(StreamState state) = 0;
    virtual MSResult GetState(StreamState* out) = 0;
    // The stream time now.
    virtual MSResult GetTime(int64_t* out) = 0;
    // Moves the stream time (the next update takes the frame due at that time).
    virtual MSResult Seek(int64_t time) = 0;

protected:
    virtual ~MultiMediaStream() = default;
};

// New objects (one reference), as COM's class factory hands them out.
MSResult CoCreateFilterGraph(GraphBuilder** out);
MSResult CoCreateMultiMediaStream(MultiMediaStream** out);
// The video stream of a MediaStream obtained for StreamPurpose::Video (a new reference), or
// null for another stream.
DirectDrawMediaStream* QueryDirectDrawMediaStream(MediaStream* stream);

}  // namespace plat
