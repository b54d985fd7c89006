// graph_signature.h - every stored field of a graph as text, so two graphs compare in one line.
#pragma once
#include <functional>
#include <sstream>
#include <string>

#include "graph/graph.h"

// How a tied scene object is written; by default its address, which only one process can compare.
using SceneObjectName = std::function<std::string(const void*)>;

inline std::string sceneObjectAddress(const void* p) {
    std::ostringstream o;
    o << p;
    return o.str();
}

inline void describeSocket(std::ostringstream& o, const SchematicGraph& t, const SchematicSocket& s,
                           const SceneObjectName& sceneName) {
    o << "  socket " << s.index << " dir " << s.direction << " '" << s.socketName << "' flipped "
      << int(s.flipped) << " radius " << s.radius << " value " << s.value << " show " << int(s.showValue)
      << " pos " << s.socketPosition.x << "," << s.socketPosition.y << " label " << s.labelOffset.x
      << "," << s.labelOffset.y << " class '" << s.socketDataClass << "' info '" << s.socketInfo
      << "' colour " << s.socketColor << " hidden " << int(s.socketIsHidden) << " sep "
      << int(s.drawSeperator) << " ctrl " << sceneName(s.sceneController) << " links";
    for (size_t k = 0; k < s.links.size(); ++k) {
        o << " (" << ownerIndexOfSocket(t, s.links[k]) << "," << s.links[k]->index;
        if (s.direction == 1) o << " w" << s.linkWeights[k];
        o << ")";
    }
    o << "\n";
}

inline std::string graphSignature(const SchematicGraph& t, const SceneObjectName& sceneName = sceneObjectAddress) {
    std::ostringstream o;
    for (size_t i = 0; i < t.size(); ++i) {
        const SchematicNode& n = *t[i];
        o << "node " << i << " '" << n.nodeName << "' info '" << n.nodeInfo << "' bitmap '" << n.bitmapPath
          << "' pos " << n.position.x << "," << n.position.y << " nameOffset " << n.nameOffset.x << ","
          << n.nameOffset.y << " colour " << n.nodeColor << " edge " << n.edgeSize << " size " << n.width
          << "x" << n.height << " collapsedSize " << n.collapsedSize.x << "x" << n.collapsedSize.y
          << " flags " << int(n.selected) << int(n.collapsed) << int(n.hidden) << int(n.posLocked)
          << int(n.selectable) << int(n.showBitmapOnly) << int(n.isCollapsible)
          << int(n.drawConnectionsFromParent) << " align " << n.textAlign << " bitmapSize "
          << n.bitmapSize.x << "," << n.bitmapSize.y << " sceneNode " << sceneName(n.sceneNode) << " parent "
          << nodeIndexOf(t, n.parent) << " children";
        for (const SchematicNode* c : n.children) o << " " << nodeIndexOf(t, c);
        o << "\n";
        for (const SchematicSocket* s : n.inputs) describeSocket(o, t, *s, sceneName);
        for (const SchematicSocket* s : n.outputs) describeSocket(o, t, *s, sceneName);
    }
    return o.str();
}
