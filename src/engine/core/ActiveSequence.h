#pragma once

// The one scripted sequence that runs at any time. The slot owns the
// sequence: replacing or ending it calls Sequence::End and deletes it. The
// in-game scene polls it once per frame; the player resumes it when answering
// a message or prompt. A finished sequence stays in the slot until the next
// one is set or the slot is ended. A sequence may replace or end itself from
// inside its own Start or Resume; it is then deleted once that call returns.

class Entity;
class Sequence;

// Ends the active sequence, then makes this one active and starts it. The
// slot takes ownership. Null only ends the active one.
void SetActiveSequence(Sequence *sequence);
// Ends and deletes the active sequence; the slot is then empty.
void EndActiveSequence();
// Resumes the active sequence when it says it is ready; once per frame.
void UpdateActiveSequence();
// Resumes the active sequence when it waits for the player (state 2).
void StepActiveSequence();
// True while the active sequence runs or waits for the player (state 1 or 2).
bool IsSequenceRunning();
// True while the active sequence waits for the player (state 2).
bool IsSequenceState2();
// The sequence in the slot, or null; the slot keeps owning it.
Sequence *GetActiveSequence();
// The entity the active sequence is about; null when none is active.
Entity *GetActiveSequenceSource();
