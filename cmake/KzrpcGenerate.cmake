# kzrpc_generate(<target> PROTOS <file>... IMPORT_DIR <dir> OUT_DIR <dir> [EXPORT_MACRO <macro>])
#
# Compiles each schema with protoc's C++ generator and the project's plugin (protoc-gen-kzrpc) into
# OUT_DIR: "<name>.pb.h/.pb.cc" (the message classes) and "<name>.rpc.h/.rpc.cc" (the service unit),
# and adds the sources to <target>. Schemas are named relative to IMPORT_DIR, which is protoc's import
# root, so each file is registered in the generated pool under that relative name ("clipboard.proto").
# EXPORT_MACRO marks the message classes (as their dllexport_decl) and the service bases and clients.
# The outputs depend on the plugin binary, so a change to the plugin regenerates every unit. Call it
# once per target; <target> may be defined in another directory.
function(kzrpc_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "IMPORT_DIR;OUT_DIR;EXPORT_MACRO" "PROTOS")
  if(NOT arg_PROTOS OR NOT arg_IMPORT_DIR OR NOT arg_OUT_DIR)
    message(FATAL_ERROR "kzrpc_generate: PROTOS, IMPORT_DIR and OUT_DIR are required")
  endif()
  if(NOT TARGET protoc-gen-kzrpc)
    message(FATAL_ERROR "kzrpc_generate: the plugin target protoc-gen-kzrpc is not defined yet")
  endif()

  set(cpp_out ${arg_OUT_DIR})
  set(kzrpc_out ${arg_OUT_DIR})
  if(arg_EXPORT_MACRO)
    set(cpp_out "dllexport_decl=${arg_EXPORT_MACRO}:${arg_OUT_DIR}")
    set(kzrpc_out "export_macro=${arg_EXPORT_MACRO}:${arg_OUT_DIR}")
  endif()

  file(MAKE_DIRECTORY ${arg_OUT_DIR})
  set(sources)
  foreach(proto ${arg_PROTOS})
    get_filename_component(proto_path ${proto} ABSOLUTE BASE_DIR ${arg_IMPORT_DIR})
    file(RELATIVE_PATH proto_name ${arg_IMPORT_DIR} ${proto_path})
    string(REGEX REPLACE "\\.proto$" "" stem ${proto_name})
    set(outputs
      ${arg_OUT_DIR}/${stem}.pb.h ${arg_OUT_DIR}/${stem}.pb.cc
      ${arg_OUT_DIR}/${stem}.rpc.h ${arg_OUT_DIR}/${stem}.rpc.cc)
    add_custom_command(
      OUTPUT ${outputs}
      COMMAND $<TARGET_FILE:protobuf::protoc>
              --proto_path=${arg_IMPORT_DIR}
              --cpp_out=${cpp_out}
              --plugin=protoc-gen-kzrpc=$<TARGET_FILE:protoc-gen-kzrpc>
              --kzrpc_out=${kzrpc_out}
              ${proto_name}
      DEPENDS ${proto_path} protoc-gen-kzrpc protobuf::protoc
      WORKING_DIRECTORY ${arg_IMPORT_DIR}
      COMMENT "Generating the message classes and service unit of ${proto_name}"
      VERBATIM)
    list(APPEND sources ${outputs})
  endforeach()
  # The commands belong to this directory; a target of their own lets <target> be defined in another.
  set(generate_target ${target}_kzrpc_generate)
  if(TARGET ${generate_target})
    message(FATAL_ERROR "kzrpc_generate: call it once per target (${target})")
  endif()
  add_custom_target(${generate_target} DEPENDS ${sources})
  add_dependencies(${target} ${generate_target})
  target_sources(${target} PRIVATE ${sources})
endfunction()
