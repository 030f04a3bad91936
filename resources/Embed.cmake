# mj_embed(<target> <name> <file>): compiles <file> into <target> as the block mj_block_<name>, handed out as
# bytes and a length. The assembler's .incbin keeps a megabyte of blocks cheap to build.
function(mj_embed target name file)
  set(asm "${CMAKE_CURRENT_BINARY_DIR}/embed_${name}.S")
  file(WRITE "${asm}.in" "\
    .section .rodata.mj_block_${name},\"a\",@progbits
    .balign 16
    .global mj_block_${name}
mj_block_${name}:
    .incbin \"${file}\"
mj_block_${name}_end:
    .balign 8
    .global mj_block_${name}_size
mj_block_${name}_size:
    .quad mj_block_${name}_end - mj_block_${name}
    .section .note.GNU-stack,\"\",@progbits
")
  configure_file("${asm}.in" "${asm}" COPYONLY)
  set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${file}")
  target_sources(${target} PRIVATE "${asm}")
endfunction()
