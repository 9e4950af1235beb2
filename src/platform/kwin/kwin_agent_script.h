// The script that the backend loads into KWin: its agent there. The agent
// asks the backend for a request with a D-Bus call to the backend's own
// object, carries the request out inside KWin and sends the answer with its
// next ask (see kwin_protocol.h for the messages).
#pragma once

#include <string>

namespace pentrax {

// Where the agent asks, and the name it gives with every ask.
struct AgentAddress {
  std::string service;    // the backend's unique bus name
  std::string path;       // the backend's object
  std::string interface;  // the interface of the "next" method
  std::string agent;      // the script's name in KWin
};

inline constexpr char kAgentStopRequest[] = R"({"op":"stop"})";

std::string AgentScript(const AgentAddress& address);

}  // namespace pentrax
