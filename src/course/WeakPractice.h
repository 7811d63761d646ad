#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

// "Practise my weak characters": exercise 4 draws each character of the
// lesson with a weight that grows with what the learner's figures say of
// it, and sets the characters it is taken for near it.

// What the practice knows of one character of a course.
struct TSchwaeche {
  double Gewicht = 1.0;
  std::string Partner; // the characters it is most often taken for, the most frequent first
};
// By course (1..4) and character; empty: the design's draw.
using TSchwaechen = std::map<std::pair<int32_t, char>, TSchwaeche>;

// The weight: 1, plus 4 times the error rate, plus 2 times how far the
// median reaction lies beyond the target (as a share of the target, at most
// 1), plus 2 times the share of the sent characters taken for another (at
// most 1): 1 for a character that is known, up to 9.
double WeakWeight(double ErrorRate, int32_t ReactionMs, int32_t TargetMs, double ConfusionRate);

// Fills Folge[F..N-1] with candidates 1..R of Candidates: each at least once
// (when there is room), the rest drawn by weight; never the same twice in a
// row (with two or more candidates); after a character, half the time one it
// is taken for when one is still to come. A marked candidate (Marked) comes
// twice in a row, as in the design's draw; the pair takes the place of one
// of the characters drawn more than once.
void DrawWeak(std::vector<int32_t>& Folge, size_t F, size_t N, const std::string& Candidates,
              const TSchwaechen& Schwaechen, int32_t Kurs, std::mt19937& Gen,
              const std::function<bool(int32_t)>& Marked);
