#pragma once

// Lets a second thread walk a tree while it is being built, node by node in
// the build's own order, as the conversion does: the build publishes every
// node once it is final (BSPNode::published), and the follower waits for
// each node before it reads it.

#include <atomic>
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
    // The build failed: no further node will be published.
    void Abandon();

    // The follower's side: returns once the node is published; throws
    // BuildAbandoned if the build fails first.
    void Await(const BSPNode& node) const;

  private:
    std::atomic<bool> abandoned_{false};
};

}  // namespace tarvel
