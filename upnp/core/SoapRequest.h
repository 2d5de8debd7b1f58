#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// Replaces & < > " ' by their entity references.
std::string XmlEscape(std::string_view text);

// The SOAP 1.1 envelope around one action with its argument block.
std::string BuildSoapBody(std::string_view action, std::string_view serviceType,
                          std::string_view arguments);

// The POST header followed by the body, ready to send to the control URL.
std::string BuildSoapRequest(std::string_view path, std::string_view host, uint16_t port,
                             std::string_view serviceType, std::string_view action,
                             std::string_view arguments);

// Argument blocks; text values are escaped.
std::string AddPortMappingArguments(uint16_t externalPort, std::string_view protocol,
                                    uint16_t internalPort, std::string_view internalClient,
                                    std::string_view description);
std::string DeletePortMappingArguments(uint16_t externalPort, std::string_view protocol);
std::string GenericPortMappingEntryArguments(int index);

// A SOAP answer counts as a success when its status line is "HTTP/1.x 200"
// and the envelope's closing tag arrived ("200 OK" elsewhere in the text does not count).
bool SoapAnswerIsSuccess(std::string_view response);

} // namespace velmora
