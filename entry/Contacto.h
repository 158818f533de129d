#pragma once

// Who answers the agents' questions, and where the signed file goes. Kept in
// one place so a change of contact is one edit.
namespace Contacto {

inline constexpr const char* NombreSistema = "Sistema de Registro de Mandatarios y Representantes";
inline constexpr const char* Persona = "Lic. Mariana Esquivel Durán";
inline constexpr const char* Telefono = "(55) 5128 4400 ext. 2317";
inline constexpr const char* Correo = "mandatarios.kestro@aduanas.example.mx";
// Where the agent sends the signed information file and the requirements.
inline constexpr const char* CorreoAutoridad = "recepcion.kestro@aduanas.example.mx";

} // namespace Contacto
