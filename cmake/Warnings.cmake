option(TONVALE_WERROR "Treat warnings in the project's own code as errors" ON)

# Applied per target so third-party code (GoogleTest) keeps its own flags.
function(tonvale_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                           -Wno-missing-field-initializers)
  if(TONVALE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
