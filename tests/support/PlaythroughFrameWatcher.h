#pragma once
// Told of each frame a PlaythroughGame plays, just before the frame and just
// after it: the journey benchmark draws and times every frame through it.
// Play never asks it anything, so a watched play takes the same course as an
// unwatched one.
class PlaythroughFrameWatcher {
public:
	virtual ~PlaythroughFrameWatcher() = default;
	virtual void FrameBegins() = 0;
	virtual void FrameEnds() = 0;
};
