# Warning flags for the project's own targets (not for generated message code or third-party code).
function(ondrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Woverloaded-virtual)
  if(ONDREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Sanitizers apply to every target of a sanitizer build, so that instrumented and uninstrumented code
# never mix inside the project.
if(ONDREL_SANITIZE)
  add_compile_options(-fsanitize=${ONDREL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ONDREL_SANITIZE})
endif()
