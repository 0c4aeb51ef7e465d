#pragma once

// The map that splits a group: two neurons, each coordinate of which starts
// every attempt at the same value.
constexpr int kNeurons = 2;
constexpr double kNeuronStart = 0.5;
