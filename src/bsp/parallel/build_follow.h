#pragma once

// Lets a second thread walk a tree while it is being built, node by node in
// the build's own order, as the conversion does: the build publishes every
// node once it is final (BSPNode::published), and the follower waits for
// each node before it reads it.

#include <atomic>
#include <cstdint>
#include <exception>

#include "bsp/bsp_node.h"

namespace tarvel {

// Thrown to the follower when the build it waits on has failed.
class BuildAbandoned : public std::exception {
  public:
    const char* what() const noexcept override { return "the build was abandoned"; }
};

class BuildFollow {
  public:
    // The build's side: the node is sorted, flattened if the guard fired,
    // and its own list released; or it is a child the build never enters.
    void Publish(BSPNode& node) const;
    // The build is over: every node is published.
    void Finish() const;
    // The build failed: no further node will be published.
    void Abandon();

    // The follower's side: returns once the node is published; throws
    // BuildAbandoned if the build fails first.
    void Await(const BSPNode& node) const;

  private:
    void Wake() const;

    std::atomic<bool> abandoned_{false};
    // The node a follower that caught up sleeps on: the build wakes it when
    // it publishes that node, and only then.
    mutable std::atomic<const BSPNode*> awaited_{nullptr};
    mutable std::atomic<uint32_t> wakes_{0};
};

}  // namespace tarvel
